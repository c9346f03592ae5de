#pragma once
// One memory bank of the target as rows of 16 words, read page by page: a
// page of 256 words is read the first time a shown, edited or dumped word
// needs it, and serves every word of it until the next refresh drops the
// cache. Nothing is read while painting: the window asks for the rows it is
// about to show.

#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "EditableGridModel.h"

class AbstractDevice;
class DebugViewHost;

// A memory bank as GetMemoryBank describes it; none when the device does not.
struct MemoryBankDescription {
    QString name;
    int firstAddress = 0;
    int words = 0;
    int widthBits = 0;
};
std::optional<MemoryBankDescription> describeBank(AbstractDevice* device, int bank);

class MemoryGridModel : public EditableGridModel {
    Q_OBJECT
public:
    static constexpr int kWordsPerRow = 16;
    static constexpr int kWordsPerPage = 256;

    explicit MemoryGridModel(DebugViewHost& host, QObject* parent = nullptr);

    // Describes the bank again and drops the cache (every page stale). False,
    // with the old contents kept, when the device does not describe it.
    bool selectBank(int bank);
    void clear();
    // Reads the stale pages that hold the words of these rows.
    void readRows(int firstRow, int lastRow);
    // Whether a page of these rows is stale: not read yet, or its read failed.
    bool rowsNeedReading(int firstRow, int lastRow) const;

    int bank() const { return bank_; }
    int firstAddress() const { return first_; }
    int wordCount() const { return count_; }
    // Hexadecimal digits of a word and of an address.
    int wordDigits() const { return (width_ + 3) / 4; }
    int addressDigits() const { return addressBits_ / 4; }

    // The word's address, none past the bank's end.
    std::optional<int> wordAddress(const QModelIndex& index) const;
    // "0x" and the address in the bank's address digits.
    QString addressText(int address) const;
    QString rowAddressText(int row) const;
    // The dump lines of the bank: per row its address, then "," and each
    // word's digits.
    QStringList dumpRows();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    std::optional<QString> commitEdit(const QModelIndex& index, const QString& text) override;

private:
    // The pages that hold the words of these rows, within the bank's.
    std::pair<int, int> pagesOfRows(int firstRow, int lastRow) const;

    struct Page {
        std::vector<int32_t> words;
        bool stale = true;
        bool everRead = false;
    };

    void readPage(int page);
    QString wordText(int index) const;
    uint32_t mask() const;

    DebugViewHost& host_;
    int bank_ = -1;
    int first_ = 0;
    int count_ = 0;
    int width_ = 0;
    int addressBits_ = 4;
    std::vector<Page> pages_;
};
