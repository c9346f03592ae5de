#include "DebugFileChoiceDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "DialogBorder.h"

DebugFileChoiceDialog::DebugFileChoiceDialog(QWidget* parent, const DebugFileChoiceTexts& texts,
                                             std::unique_ptr<DebugFileDialog> browser)
    : QDialog(parent),
      filter_(texts.filterName + QLatin1String(" (*.") + texts.extension + QLatin1String(")|*.") + texts.extension
              + QLatin1String("|All Files (*.*)|*.*")),
      extension_(texts.extension),
      browser_(browser ? std::move(browser) : std::make_unique<QtDebugFileDialog>(this)),
      useFile_(new QRadioButton(texts.useFile, this)),
      fileEdit_(new QLineEdit(this)),
      browseButton_(new QPushButton(QStringLiteral("..."), this)),
      noFile_(new QRadioButton(texts.noFile, this))
{
    setWindowTitle(texts.caption);
    useFile_->setObjectName(QStringLiteral("useFile"));
    fileEdit_->setObjectName(QStringLiteral("fileEdit"));
    browseButton_->setObjectName(QStringLiteral("browse"));
    noFile_->setObjectName(QStringLiteral("noFile"));
    browseButton_->setAutoDefault(false);

    auto* choices = new QGridLayout;
    choices->addWidget(useFile_, 0, 0, 1, 2);
    choices->addWidget(fileEdit_, 1, 0);
    choices->addWidget(browseButton_, 1, 1);
    choices->addWidget(noFile_, 2, 0, 1, 2);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(buttons);
    platform::giveDialogBorder(*this);

    connect(useFile_, &QRadioButton::toggled, this, &DebugFileChoiceDialog::applyChoice);
    connect(browseButton_, &QPushButton::clicked, this, &DebugFileChoiceDialog::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    noFile_->setChecked(true);
    applyChoice();
}

std::optional<QString> DebugFileChoiceDialog::chosenFile() const
{
    if (!useFile_->isChecked())
        return std::nullopt;
    return fileEdit_->text();
}

void DebugFileChoiceDialog::setChosenFile(const QString& file)
{
    if (file.isEmpty()) {
        noFile_->setChecked(true);
    } else {
        fileEdit_->setText(file);
        useFile_->setChecked(true);
    }
    applyChoice();
}

void DebugFileChoiceDialog::showEvent(QShowEvent* event)
{
    shownChoice_ = chosenFile();
    QDialog::showEvent(event);
}

void DebugFileChoiceDialog::reject()
{
    // A cancelled dialog must not leave a choice the device was never told of.
    setChosenFile(shownChoice_.value_or(QString()));
    QDialog::reject();
}

void DebugFileChoiceDialog::applyChoice()
{
    // A disabled edit shows its text in the disabled-text colour.
    const bool use = useFile_->isChecked();
    fileEdit_->setEnabled(use);
    browseButton_->setEnabled(use);
}

void DebugFileChoiceDialog::browse()
{
    const std::optional<std::string> chosen = browser_->openFile(filter_.toStdString(), extension_.toStdString());
    if (chosen)
        fileEdit_->setText(QFile::decodeName(chosen->c_str()));
}
