#include "TDialogAddDevice.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// Where the next browse starts: the folder of the last chosen library.
QString& browseFolder()
{
    static QString folder;
    return folder;
}
}  // namespace

TDialogAddDevice::TDialogAddDevice(QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(this)), file_(new QLineEdit(this))
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
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), browseFolder(),
                                                        QStringLiteral("Device Files (*.so);;All Files (*)"));
    if (chosen.isEmpty())
        return;
    browseFolder() = QFileInfo(chosen).absolutePath();
    file_->setText(chosen);
}
