#pragma once
// The About box: the program's version and the selected device's own text.
#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class DeviceBinding;

class TDialogAbout : public QDialog {
    Q_OBJECT
public:
    TDialogAbout(const DeviceBinding& binding, QWidget* parent = nullptr);

    // A three-line version text gets the server and hardware labels; any other stays as it is.
    static QStringList VersionLines(const QString& versionText);

    QString MemoText() const;
    QString DevicePanelText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillFromDevice();

    const DeviceBinding& binding_;
    QPlainTextEdit* memo_;
    QLabel* devicePanel_;
};
