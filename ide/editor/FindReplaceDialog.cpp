#include "FindReplaceDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogBorder.h"

FindReplaceDialog::FindReplaceDialog(Mode mode, QWidget* parent)
    : QDialog(parent),
      findEdit_(new QLineEdit(this)),
      replaceEdit_(new QLineEdit(this)),
      wholeWord_(new QCheckBox(QStringLiteral("Match &whole word only"), this)),
      matchCase_(new QCheckBox(QStringLiteral("Match &case"), this))
{
    const bool replace = mode == Mode::Replace;
    setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Fi&nd what:"), findEdit_);
    if (replace)
        form->addRow(QStringLiteral("Re&place with:"), replaceEdit_);
    else
        replaceEdit_->hide();

    auto* choices = new QVBoxLayout;
    choices->addLayout(form);
    choices->addWidget(wholeWord_);
    choices->addWidget(matchCase_);
    choices->addStretch();

    auto* buttons = new QVBoxLayout;
    auto* findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    findNext->setDefault(true);
    connect(findNext, &QPushButton::clicked, this, &FindReplaceDialog::FindRequested);
    buttons->addWidget(findNext);
    searchButtons_ << findNext;
    if (replace) {
        auto* replaceOne = new QPushButton(QStringLiteral("&Replace"), this);
        auto* replaceAll = new QPushButton(QStringLiteral("Replace &All"), this);
        connect(replaceOne, &QPushButton::clicked, this, [this] { emit ReplaceRequested(false); });
        connect(replaceAll, &QPushButton::clicked, this, [this] { emit ReplaceRequested(true); });
        buttons->addWidget(replaceOne);
        buttons->addWidget(replaceAll);
        searchButtons_ << replaceOne << replaceAll;
    }
    for (QPushButton* button : searchButtons_)
        button->setEnabled(false);
    connect(findEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        for (QPushButton* button : searchButtons_)
            button->setEnabled(!text.isEmpty());
    });
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, &FindReplaceDialog::hide);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(buttons);
    platform::giveDialogBorder(*this);
}

QString FindReplaceDialog::FindText() const
{
    return findEdit_->text();
}

void FindReplaceDialog::SetFindText(const QString& text)
{
    findEdit_->setText(text);
}

QString FindReplaceDialog::ReplaceText() const
{
    return replaceEdit_->text();
}

SearchOptions FindReplaceDialog::Options() const
{
    return {matchCase_->isChecked(), wholeWord_->isChecked()};
}
