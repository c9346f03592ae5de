#include "TDialogAddDevice.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogBorder.h"

TDialogAddDevice::TDialogAddDevice(QWidget* parent, OpenDialog openDialog)
    : QDialog(parent), name_(new QLineEdit(this)), file_(new QLineEdit(this)), openDialog_(std::move(openDialog))
{
    setWindowTitle(QStringLiteral("Add Device"));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    // A small button beside the file name, not a push button's usual width.
    browse->setMaximumWidth(3 * browse->fontMetrics().height());
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Device Name:"), this), 0, 0);
    fields->addWidget(name_, 0, 1, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("Device File:"), this), 1, 0);
    fields->addWidget(file_, 1, 1);
    fields->addWidget(browse, 1, 2);
    // The file name takes the width the caption gives the dialog.
    fields->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
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
