#include "EditableGridModel.h"

bool EditableGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    editMessage_ = commitEdit(index, value.toString());
    return !editMessage_;
}
