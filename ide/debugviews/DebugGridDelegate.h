#pragma once
// The in-place editor of the debug grids: an edit that changed the shown text
// is committed through the model's setData under the hourglass, then a
// refusal or a device failure is shown in a box, with the normal cursor,
// after the editor has closed. An editor left unchanged writes nothing.

#include <QStyledItemDelegate>

class DebugGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};
