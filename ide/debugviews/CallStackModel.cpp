#include "CallStackModel.h"

#include <algorithm>

#include "AbstractDevice.h"

namespace {

// Bounds a wild count, so that the window cannot be kept listing for ever.
constexpr int kMostFrames = 65536;

}  // namespace

void CallStackModel::read(AbstractDevice& device)
{
    beginResetModel();
    frames_.clear();
    char** names = nullptr;
    int* values = nullptr;
    int count = 0;
    if (device.GetCallStack(&names, &values, &count) == tolvane::kStatusDone && names && values)
        for (int frame = 0; frame < std::min(count, kMostFrames); ++frame)
            frames_.push_back({QString::fromLocal8Bit(names[frame] ? names[frame] : ""), values[frame]});
    endResetModel();
}

int CallStackModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(frames_.size());
}

QVariant CallStackModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    return frames_[static_cast<size_t>(index.row())].name;
}
