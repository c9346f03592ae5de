#pragma once
// Asks for the name and library file of a device plug-in to install.
#include <QDialog>

class QLineEdit;

class TDialogAddDevice : public QDialog {
    Q_OBJECT
public:
    explicit TDialogAddDevice(QWidget* parent = nullptr);

    QString DeviceName() const;
    QString DeviceFile() const;
    void SetEntries(const QString& name, const QString& file);

private:
    void ButtonBrowseClick();

    QLineEdit* name_;
    QLineEdit* file_;
};
