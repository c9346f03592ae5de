#pragma once
// The Options dialog of ZernJTAG: the serial port of the adapter board, the
// device configuration file and the JTAG clock.

#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zern {

class ZernDevice;

class TDialogSerialSelector final : public QDialog {
    Q_OBJECT

public:
    TDialogSerialSelector(const ZernDevice& device, QWidget* owner);

    // The clock in kHz that OK accepted.
    int clockKHz() const { return clockKHz_; }

    QComboBox* ComboBox;
    QLineEdit* EditConfigFile;
    QPushButton* ButtonBrowse;
    QLineEdit* EditClockRate;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;
    // Asks for an existing configuration file; empty when the user cancels.
    std::function<QString()> DialogBrowse;

    void done(int result) override;

private:
    void FormShow();
    // Only when the dialog closes with OK: false keeps it open.
    bool FormClose();
    void ButtonBrowseClick();
    QString browseConfigFile();

    const ZernDevice& device_;
    int clockKHz_ = 0;
};

}  // namespace zern
