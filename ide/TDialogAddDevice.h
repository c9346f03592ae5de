#pragma once
// Asks for the name and library file of a device plug-in to install.
#include <QDialog>
#include <functional>

class QLineEdit;

class TDialogAddDevice : public QDialog {
    Q_OBJECT
public:
    // The main window's open dialog: filter ("Name|pattern|..."), default
    // extension; the chosen path or empty.
    using OpenDialog = std::function<QString(const QString& filter, const QString& defaultExtension)>;

    TDialogAddDevice(QWidget* parent, OpenDialog openDialog);

    QString DeviceName() const;
    QString DeviceFile() const;
    void SetEntries(const QString& name, const QString& file);

private:
    void ButtonBrowseClick();

    QLineEdit* name_;
    QLineEdit* file_;
    OpenDialog openDialog_;
};
