#include "TDialogDataBP.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "DeviceDialogFrame.h"

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

    auto* address = new QHBoxLayout;
    address->addWidget(new QLabel(QStringLiteral("Address:"), this));
    address->addWidget(Edit1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioButton1);
    layout->addWidget(RadioButton2);
    layout->addLayout(address);
    layout->addSpacing(8);
    layout->addLayout(okCancelRow(*this, OKBtn, CancelBtn));
}

}  // namespace zern
