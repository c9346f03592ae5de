#pragma once
// The target's call frames as the device reports them: a text per frame and
// the frame's value (an address), read at each refresh.

#include <QAbstractListModel>
#include <vector>

class AbstractDevice;

class CallStackModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Empties the list, then fills it when the device gives its call stack.
    void read(AbstractDevice& device);
    // The value of the frame in the row.
    int frameValue(int row) const { return frames_.at(static_cast<size_t>(row)).value; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Frame {
        QString name;
        int value = 0;
    };
    std::vector<Frame> frames_;
};
