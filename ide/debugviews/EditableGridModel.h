#pragma once
// A debug grid's model whose in-place edits reach the device in setData:
// the text is checked and written there, and what went wrong is kept for the
// delegate, which shows it once the edit has been committed.

#include <QAbstractTableModel>
#include <optional>
#include <utility>

class EditableGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Commits the edit's text; false when it was refused or the device failed.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // The message of the last refused or failed edit, once.
    std::optional<QString> takeEditMessage() { return std::exchange(editMessage_, std::nullopt); }

protected:
    // Checks and writes the text: the message to show, or none when written.
    virtual std::optional<QString> commitEdit(const QModelIndex& index, const QString& text) = 0;

private:
    std::optional<QString> editMessage_;
};
