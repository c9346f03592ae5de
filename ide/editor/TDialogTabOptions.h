#pragma once
// "Tab Options": tab size (a number above 0) and whether tabs become spaces.

#include <QDialog>

class QCheckBox;
class QLineEdit;

class TDialogTabOptions : public QDialog {
    Q_OBJECT
public:
    explicit TDialogTabOptions(QWidget* parent = nullptr);

    // The main window's current values, shown when the dialog opens.
    void SetValues(int tabSize, bool useTabs);
    int TabSize() const { return tabSize_; }
    bool ReplaceTabs() const;
    QLineEdit& TabSizeEdit() { return *tabSizeEdit_; }
    QCheckBox& ReplaceTabsBox() { return *replaceTabs_; }

    void accept() override;

private:
    QLineEdit* tabSizeEdit_;
    QCheckBox* replaceTabs_;
    int tabSize_ = 4;
};
