#pragma once
// The Data BP dialog: which of the two data breakpoints, and its address.

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zern {

class TDialogDataBP final : public QDialog {
    Q_OBJECT

public:
    explicit TDialogDataBP(QWidget* owner);

    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QLineEdit* Edit1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};

}  // namespace zern
