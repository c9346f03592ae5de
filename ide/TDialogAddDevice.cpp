#include "TDialogAddDevice.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DialogBorder.h"

TDialogAddDevice::TDialogAddDevice(QWidget* parent, OpenDialog openDialog)
    : QDialog(parent), name_(new QLineEdit(this)), file_(new QLineEdit(this)), openDialog_(std::move(openDialog))
{
    setWindowTitle(QStringLiteral("Add Device"));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Device Name:"), this), 0, 0);
    layout->addWidget(name_, 0, 1, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Device File:"), this), 1, 0);
    layout->addWidget(file_, 1, 1);
    layout->addWidget(browse, 1, 2);
    layout->addWidget(buttons, 2, 0, 1, 3);
    layout->setColumnStretch(1, 1);
    platform::giveDialogBorder(*this);

    connect(browse, &QPushButton::clicked, this, &TDialogAddDevice::ButtonBrowseClick);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString TDialogAddDevice::DeviceName() const
{
    return name_->text();
}

QString TDialogAddDevice::DeviceFile() const
{
    return file_->text();
}

void TDialogAddDevice::SetEntries(const QString& name, const QString& file)
{
    name_->setText(name);
    file_->setText(file);
}

void TDialogAddDevice::ButtonBrowseClick()
{
    // Device plug-ins are shared libraries here.
    const QString chosen =
        openDialog_ ? openDialog_(QStringLiteral("Device Files (*.so)|*.so|All Files (*.*)|*.*"), QStringLiteral("so"))
                    : QString();
    if (!chosen.isEmpty())
        file_->setText(chosen);
}
