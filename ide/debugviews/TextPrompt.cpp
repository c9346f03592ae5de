#include "TextPrompt.h"

#include <QInputDialog>

std::optional<QString> QtTextPrompt::ask(const QString& title, const QString& prompt, const QString& initial)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, initial, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}
