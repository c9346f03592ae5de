#pragma once
// The Debug Log dialog: starts, stops and clears the JTAG link's traffic log
// and chooses which direction it records.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zern {

class TrafficLog;

class TDialogDebugState final : public QDialog {
    Q_OBJECT

public:
    TDialogDebugState(TrafficLog& log, const QString& fileName, QWidget* owner);

    QLabel* LabelName;
    QLineEdit* EditName;
    QPushButton* ButtonClear;
    QCheckBox* CheckBoxRead;
    QCheckBox* CheckBoxWrite;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;

    void accept() override;

private:
    // The two direction flags, then the log as it stands.
    void FormShow();
    // The file name while the log is off; Stop and Clear Log while it runs.
    void showLogState();
    void ButtonClearClick();
    // Starts logging into the named file, replacing its content; a box when it cannot.
    void openLog();

    TrafficLog& log_;
};

}  // namespace zern
