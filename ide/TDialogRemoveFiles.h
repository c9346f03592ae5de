#pragma once
// Picks entries to remove from a list ("files" of the project or installed "devices").
#include <QDialog>
#include <QList>
#include <QStringList>

class QListWidget;

class TDialogRemoveFiles : public QDialog {
    Q_OBJECT
public:
    TDialogRemoveFiles(const QString& kind, const QStringList& items, QWidget* parent = nullptr);

    // Row indices of the selected entries, ascending.
    QList<int> SelectedIndices() const;
    QListWidget* List() const { return list_; }

private:
    QListWidget* list_;
};
