#include "TDialogSerialSelector.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DeviceDialogFrame.h"
#include "Registry.h"

namespace zernbrel {

using platform::RegistryKey;
using platform::RegistryRoot;

TDialogSerialSelector::TDialogSerialSelector(std::string optionsKeyPath, QWidget* parent)
    : QDialog(parent),
      optionsKeyPath_(std::move(optionsKeyPath)),
      ComboBox(new QComboBox(this)),
      EditConfigFile(new QLineEdit(QStringLiteral("ZERNB.cfg"), this)),
      CheckBoxTest(new QCheckBox(QStringLiteral("Enter Test Mode"), this))
{
    setWindowTitle(QStringLiteral("Options"));
    ComboBox->setObjectName(QStringLiteral("ComboBox"));
    EditConfigFile->setObjectName(QStringLiteral("EditConfigFile"));
    CheckBoxTest->setObjectName(QStringLiteral("CheckBoxTest"));
    // A port the list does not know (a device path) can be typed in.
    ComboBox->setEditable(true);
    ComboBox->setInsertPolicy(QComboBox::NoInsert);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select the serial port where the Solbus device is connected."), this));
    layout->addWidget(ComboBox);
    layout->addWidget(new QLabel(QStringLiteral("Device Configuration File:"), this));
    layout->addWidget(EditConfigFile);
    layout->addWidget(CheckBoxTest);
    layout->addLayout(zern::okCancelRow(*this, new QPushButton(QStringLiteral("OK"), this),
                                        new QPushButton(QStringLiteral("Cancel"), this)));
}

void TDialogSerialSelector::SetConfigFile(const QString& path)
{
    EditConfigFile->setText(path);
}

QString TDialogSerialSelector::ConfigFile() const
{
    return EditConfigFile->text();
}

void TDialogSerialSelector::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TDialogSerialSelector::done(int result)
{
    if (result == QDialog::Accepted)
        FormClose();
    QDialog::done(result);
}

void TDialogSerialSelector::FormShow()
{
    std::optional<std::string> port;
    testModeAllowed_ = false;
    CheckBoxTest->setChecked(false);
    if (auto key = RegistryKey::open(RegistryRoot::CurrentUser, optionsKeyPath_, false)) {
        port = key->readString("SerialPort");
        testModeAllowed_ = key->hasValue("AllowTestMode");
        CheckBoxTest->setChecked(testModeAllowed_ && key->readBool("DoTest").value_or(false));
    }
    zern::fillSerialPortCombo(*ComboBox, presentPorts(), port);
    CheckBoxTest->setVisible(testModeAllowed_);
}

void TDialogSerialSelector::FormClose()
{
    auto key = RegistryKey::open(RegistryRoot::CurrentUser, optionsKeyPath_, true);
    if (!key)
        return;
    // Only port names are stored: COMn, or here a device path as well.
    const QString port = ComboBox->currentText();
    if (port.toUpper().startsWith(QStringLiteral("COM")) || port.startsWith(QStringLiteral("/dev/")))
        key->writeString("SerialPort", port.toStdString());
    if (testModeAllowed_)
        key->writeBool("DoTest", CheckBoxTest->isChecked());
}

}  // namespace zernbrel
