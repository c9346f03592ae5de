#include "TDialogGotoLine.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogBorder.h"
#include "MessageBoxes.h"
#include "PositiveNumber.h"

TDialogGotoLine::TDialogGotoLine(QWidget* parent) : QDialog(parent), edit_(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Goto Line Number"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TDialogGotoLine::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDialogGotoLine::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter Line Number:"), this));
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    platform::giveDialogBorder(*this);
}

void TDialogGotoLine::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    edit_->selectAll();
    edit_->setFocus();
}

void TDialogGotoLine::accept()
{
    const std::optional<int> line = PositiveNumber(edit_->text());
    if (!line) {
        platform::showError(edit_->text().toStdString() + " is not a valid line number.");
        return;
    }
    lineNumber_ = *line;
    QDialog::accept();
}
