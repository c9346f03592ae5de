#pragma once
// The newest entries of the device's execution trace, one row each: file
// name or event, source line, code address and data word. An entry is read
// from the device only when its row is about to be shown (or copied), and at
// most once between two refreshes, so that a buffer of any size scrolls
// without delay. Painting reads nothing.

#include <QAbstractTableModel>
#include <cstdint>
#include <optional>
#include <vector>

class DebugViewHost;

class TraceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The fields, in the order of the title row and of the clipboard's lines.
    enum Field { FileOrEvent = 0, Line, Address, Data, FieldCount };

    explicit TraceModel(DebugViewHost& host, QObject* parent = nullptr);

    // Asks the device for the size of the trace, its data width and its
    // current entry; the rows become the newest entries up to the limit and
    // nothing read before is kept. False, with the rows kept, when the
    // device does not answer.
    bool refresh(int limit);
    // Reads the entries of these rows that were not read since the refresh.
    void readRows(int firstRow, int lastRow);

    // The device's index of the entry in the row.
    int entryOfRow(int row) const { return first_ + row; }
    int firstEntry() const { return first_; }
    int currentEntry() const { return current_; }
    int dataBits() const { return dataBits_; }
    // The title line, then a line per row (empty for an entry that cannot be
    // read), fields separated by "," in title order, each line ended by CR LF.
    QString dumpText();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Entry {
        QString text;
        int line = 0;
        int address = 0;
        uint64_t data = 0;
    };
    struct Slot {
        bool read = false;
        std::optional<Entry> entry;
    };

    QString fieldText(const Entry& entry, int field) const;

    DebugViewHost& host_;
    int first_ = 0;
    int current_ = 0;
    int dataBits_ = 32;
    std::vector<Slot> slots_;
};
