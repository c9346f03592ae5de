#include "TDialogTabOptions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogBorder.h"
#include "MessageBoxes.h"
#include "PositiveNumber.h"

TDialogTabOptions::TDialogTabOptions(QWidget* parent)
    : QDialog(parent),
      tabSizeEdit_(new QLineEdit(this)),
      replaceTabs_(new QCheckBox(QStringLiteral("Replace Tabs With Spaces"), this))
{
    setWindowTitle(QStringLiteral("Tab Options"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TDialogTabOptions::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDialogTabOptions::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Tab Size:"), tabSizeEdit_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(replaceTabs_);
    layout->addWidget(buttons);
    platform::giveDialogBorder(*this);
}

void TDialogTabOptions::SetValues(int tabSize, bool useTabs)
{
    tabSize_ = tabSize;
    tabSizeEdit_->setText(QString::number(tabSize));
    replaceTabs_->setChecked(!useTabs);
}

bool TDialogTabOptions::ReplaceTabs() const
{
    return replaceTabs_->isChecked();
}

void TDialogTabOptions::accept()
{
    // A tab size of 0 or less would make every tab stop collapse.
    const std::optional<int> size = PositiveNumber(tabSizeEdit_->text());
    if (!size) {
        platform::showError("Please enter a valid number for the tab size.");
        return;
    }
    tabSize_ = *size;
    QDialog::accept();
}
