#pragma once
// ZernBrel's Options dialog: the serial port of the Solbus adapter (from the
// port list every ZERN plug-in offers), the device configuration file and,
// where the options allow it, test mode.
// The port and the test-mode choice live under the plug-in's options key.

#include <QDialog>
#include <string>

#include "SerialPortCombo.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace zernbrel {

class TDialogSerialSelector : public QDialog {
    Q_OBJECT
public:
    explicit TDialogSerialSelector(std::string optionsKeyPath, QWidget* parent = nullptr);

    void SetConfigFile(const QString& path);
    QString ConfigFile() const;

    // Where the port list finds the machine's serial ports.
    zern::PresentSerialPorts presentPorts = zern::machineSerialPorts();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void FormShow();
    void FormClose();

    const std::string optionsKeyPath_;
    QComboBox* ComboBox;
    QLineEdit* EditConfigFile;
    QCheckBox* CheckBoxTest;
    bool testModeAllowed_ = false;
};

}  // namespace zernbrel
