#include "TDialogFindInFiles.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "DialogBorder.h"

namespace {

QString browseWithSystemDialog(QWidget* parent, const QString& title, const QString& start)
{
    QFileDialog dialog(parent, title, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    platform::giveDialogBorder(dialog, platform::DialogSizing::Sizable);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

}  // namespace

TDialogFindInFiles::TDialogFindInFiles(QWidget* parent)
    : QDialog(parent),
      text_(new QLineEdit(this)),
      caseSensitive_(new QCheckBox(QStringLiteral("Case Sensitive"), this)),
      wholeWords_(new QCheckBox(QStringLiteral("Whole Words Only"), this)),
      project_(new QRadioButton(QStringLiteral("Search All Files In Project"), this)),
      directories_(new QRadioButton(QStringLiteral("Search In Directories"), this)),
      directoryOptions_(new QGroupBox(QStringLiteral("Search Directory Options"), this)),
      fileMaskLabel_(new QLabel(QStringLiteral("File mask:"), directoryOptions_)),
      fileMask_(new QLineEdit(directoryOptions_)),
      browse_(new QPushButton(QStringLiteral("Browse"), directoryOptions_)),
      subdirectories_(new QCheckBox(QStringLiteral("Include Subdirectories"), directoryOptions_)),
      browser_(browseWithSystemDialog)
{
    setWindowTitle(QStringLiteral("Find In Files"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);

    auto* textRow = new QFormLayout;
    textRow->addRow(QStringLiteral("Text to find:"), text_);

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    auto* optionsLayout = new QVBoxLayout(options);
    // Each box as wide as its text: a click beside the text does nothing.
    optionsLayout->addWidget(caseSensitive_, 0, Qt::AlignLeft);
    optionsLayout->addWidget(wholeWords_, 0, Qt::AlignLeft);

    auto* where = new QGroupBox(QStringLiteral("Where"), this);
    auto* whereLayout = new QVBoxLayout(where);
    whereLayout->addWidget(project_, 0, Qt::AlignLeft);
    whereLayout->addWidget(directories_, 0, Qt::AlignLeft);
    directories_->setChecked(true);

    auto* directoryLayout = new QGridLayout(directoryOptions_);
    directoryLayout->addWidget(fileMaskLabel_, 0, 0);
    directoryLayout->addWidget(fileMask_, 0, 1);
    directoryLayout->addWidget(browse_, 0, 2);
    directoryLayout->addWidget(subdirectories_, 1, 0, 1, 3, Qt::AlignLeft);
    browse_->setAutoDefault(false);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok_->setDefault(true);

    auto* choices = new QHBoxLayout;
    choices->addWidget(options);
    choices->addWidget(where);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addLayout(choices);
    layout->addWidget(directoryOptions_);
    layout->addWidget(buttons);

    // Either button's change comes through the other's toggle as well.
    connect(directories_, &QRadioButton::toggled, this, &TDialogFindInFiles::RadioButtonWhereClick);
    connect(browse_, &QPushButton::clicked, this, &TDialogFindInFiles::ButtonBrowseClick);
    connect(text_, &QLineEdit::textChanged, this, &TDialogFindInFiles::updateOk);
    connect(fileMask_, &QLineEdit::textChanged, this, &TDialogFindInFiles::updateOk);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    RadioButtonWhereClick();
    platform::giveDialogBorder(*this);
}

void TDialogFindInFiles::EnableProjectScope(bool enable)
{
    if (!enable && project_->isChecked())
        directories_->setChecked(true);
    project_->setEnabled(enable);
    RadioButtonWhereClick();
}

void TDialogFindInFiles::RadioButtonWhereClick()
{
    const bool directories = directories_->isChecked();
    directoryOptions_->setEnabled(directories);
    subdirectories_->setEnabled(directories);
    fileMaskLabel_->setEnabled(directories);
    fileMask_->setEnabled(directories);
    browse_->setEnabled(directories);
    updateOk();
}

void TDialogFindInFiles::ButtonBrowseClick()
{
    const QFileInfo current(FileMask());
    QString start = current.isDir() ? current.filePath() : current.path();
    if (FileMask().isEmpty() || !QFileInfo(start).isDir())
        start = browseFolder_;
    const QString chosen = browser_(this, QStringLiteral("Select a directory to search."), start);
    if (!chosen.isEmpty())
        fileMask_->setText(QDir::toNativeSeparators(chosen));
}

// An empty text would match at every position, and an empty folder field
// names nothing to search.
void TDialogFindInFiles::updateOk()
{
    ok_->setEnabled(!text_->text().isEmpty() && (project_->isChecked() || !fileMask_->text().isEmpty()));
}

void TDialogFindInFiles::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    text_->selectAll();
    text_->setFocus();
}

QString TDialogFindInFiles::TextToFind() const
{
    return text_->text();
}

bool TDialogFindInFiles::CaseSensitive() const
{
    return caseSensitive_->isChecked();
}

bool TDialogFindInFiles::WholeWords() const
{
    return wholeWords_->isChecked();
}

bool TDialogFindInFiles::SearchProject() const
{
    return project_->isChecked();
}

QString TDialogFindInFiles::FileMask() const
{
    return fileMask_->text();
}

bool TDialogFindInFiles::IncludeSubdirectories() const
{
    return subdirectories_->isChecked();
}
