#include "TDialogSerialSelector.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DeviceDialogFrame.h"
#include "DialogBorder.h"
#include "JtagOptions.h"
#include "MessageBoxes.h"
#include "SerialPortCombo.h"
#include "ZernDevice.h"

namespace zern {

TDialogSerialSelector::TDialogSerialSelector(const ZernDevice& device, QWidget* owner)
    : QDialog(owner),
      ComboBox(new QComboBox(this)),
      EditConfigFile(new QLineEdit(QFile::decodeName(QByteArray::fromStdString(device.configFilePath())), this)),
      ButtonBrowse(new QPushButton(QStringLiteral("Browse..."), this)),
      // The clock in force, which a project or the configuration may have set.
      EditClockRate(new QLineEdit(QString::number(device.config().jtagClockKHz), this)),
      ButtonOK(new QPushButton(QStringLiteral("OK"), this)),
      ButtonCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      DialogBrowse([this] { return browseConfigFile(); }),
      device_(device)
{
    setWindowTitle(QStringLiteral("Options"));
    ComboBox->setObjectName(QStringLiteral("ComboBox"));
    EditConfigFile->setObjectName(QStringLiteral("EditConfigFile"));
    ButtonBrowse->setObjectName(QStringLiteral("ButtonBrowse"));
    EditClockRate->setObjectName(QStringLiteral("EditClockRate"));
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    // A port the list does not know (a device path) can be typed in.
    ComboBox->setEditable(true);
    ComboBox->setInsertPolicy(QComboBox::NoInsert);
    EditConfigFile->setMinimumWidth(280);
    EditClockRate->setMaximumWidth(80);

    auto* file = new QHBoxLayout;
    file->addWidget(EditConfigFile, 1);
    file->addWidget(ButtonBrowse);
    auto* clock = new QHBoxLayout;
    clock->addWidget(new QLabel(QStringLiteral("Desired JTAG Clock Freq. (kHz)"), this));
    clock->addWidget(EditClockRate);
    clock->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select the serial port where the JTAG device is connected."), this));
    layout->addWidget(ComboBox);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("Device Configuration File:"), this));
    layout->addLayout(file);
    layout->addSpacing(8);
    layout->addLayout(clock);
    layout->addSpacing(8);
    layout->addLayout(okCancelRow(*this, ButtonOK, ButtonCancel));

    connect(ButtonBrowse, &QPushButton::clicked, this, &TDialogSerialSelector::ButtonBrowseClick);
    FormShow();
}

void TDialogSerialSelector::FormShow()
{
    fillSerialPortCombo(*ComboBox, machineSerialPorts()(), storedSerialPort(device_));
}

void TDialogSerialSelector::done(int result)
{
    if (result == QDialog::Accepted && !FormClose())
        return;
    QDialog::done(result);
}

bool TDialogSerialSelector::FormClose()
{
    const auto clock = optionsClock(EditClockRate->text().toStdString());
    if (!clock) {
        platform::showError(kClockRangeMessage);
        return false;
    }
    clockKHz_ = *clock;
    if (!storeSerialPort(device_, ComboBox->currentText().toStdString()))
        platform::showError("Unable to save the serial port setting.");
    return true;
}

void TDialogSerialSelector::ButtonBrowseClick()
{
    const QString chosen = DialogBrowse();
    if (!chosen.isEmpty())
        EditConfigFile->setText(chosen);
}

QString TDialogSerialSelector::browseConfigFile()
{
    QFileDialog browse(this, QStringLiteral("Select Configuration File"));
    browse.setNameFilters({QStringLiteral("Tolvane Configuration Files (*.cfg)"), QStringLiteral("All Files (*)")});
    browse.setDefaultSuffix(QStringLiteral("cfg"));
    browse.setFileMode(QFileDialog::ExistingFile);
    const QFileInfo current(EditConfigFile->text());
    if (current.isAbsolute())
        browse.setDirectory(current.absolutePath());
    platform::giveDialogBorder(browse, platform::DialogSizing::Sizable);
    if (browse.exec() != QDialog::Accepted || browse.selectedFiles().isEmpty())
        return {};
    return browse.selectedFiles().first();
}

}  // namespace zern
