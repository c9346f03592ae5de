#pragma once
// The in-place editor of the debug grids: the edit is committed through the
// model's setData under the hourglass, then a refusal or a device failure is
// shown in a box, with the normal cursor, after the editor has closed.

#include <QStyledItemDelegate>

class DebugGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};
