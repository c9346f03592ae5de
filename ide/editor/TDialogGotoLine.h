#pragma once
// "Goto Line Number": asks for a line number above 0.

#include <QDialog>

class QLineEdit;

class TDialogGotoLine : public QDialog {
    Q_OBJECT
public:
    explicit TDialogGotoLine(QWidget* parent = nullptr);

    int LineNumber() const { return lineNumber_; }
    QLineEdit& Edit() { return *edit_; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* edit_;
    int lineNumber_ = 0;
};
