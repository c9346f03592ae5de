#include "TextPrompt.h"

#include <QInputDialog>

#include "DialogBorder.h"

std::optional<QString> QtTextPrompt::ask(const QString& title, const QString& prompt, const QString& initial)
{
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    // Naming the buttons lays the dialog out now, so that its border can widen the layout.
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Cancel"));
    platform::giveDialogBorder(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
