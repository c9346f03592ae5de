#pragma once
// The dialog that asks for the name of a variable to watch: typed, or picked
// from the device's variables.

#include <QDialog>

class QComboBox;

class TDialogAddWatch : public QDialog {
    Q_OBJECT
public:
    explicit TDialogAddWatch(QWidget* parent = nullptr);

    // Empties the list and the text, then lists the names in their order.
    void setNames(const QStringList& names);
    QString text() const;
    QComboBox* comboBox() const { return ComboBox; }

private:
    QComboBox* ComboBox;
};
