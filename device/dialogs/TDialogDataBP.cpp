#include "TDialogDataBP.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zern {

TDialogDataBP::TDialogDataBP(QWidget* owner)
    : QDialog(owner),
      RadioButton1(new QRadioButton(QStringLiteral("Data Breakpoint #1"), this)),
      RadioButton2(new QRadioButton(QStringLiteral("Data Breakpoint #2"), this)),
      Edit1(new QLineEdit(QStringLiteral("0xFFFFFFFF"), this)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Data BP"));
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    RadioButton1->setChecked(true);
    OKBtn->setDefault(true);

    auto* address = new QHBoxLayout;
    address->addWidget(new QLabel(QStringLiteral("Address:"), this));
    address->addWidget(Edit1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioButton1);
    layout->addWidget(RadioButton2);
    layout->addLayout(address);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace zern
