#include "MemoryGridModel.h"

#include "AbstractDevice.h"
#include "DebugViewHost.h"
#include "DebugWindow.h"

namespace {

QString hexDigits(uint64_t value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// 4 x the hexadecimal digits of the address, without leading zeros.
int addressBitsOf(int64_t lastAddress)
{
    int digits = 1;
    for (uint64_t rest = static_cast<uint64_t>(std::max<int64_t>(lastAddress, 0)) >> 4; rest; rest >>= 4)
        ++digits;
    return 4 * digits;
}

// The edit's text as hexadecimal, "0x" in front or not; none when it is not
// a number or does not fit 32 bits.
std::optional<uint32_t> parseWord(const QString& text)
{
    QStringView digits = QStringView(text).trimmed();
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    if (digits.isEmpty())
        return std::nullopt;
    uint64_t value = 0;
    for (QChar c : digits) {
        const int digit = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

std::optional<MemoryBankDescription> describeBank(AbstractDevice* device, int bank)
{
    char* name = nullptr;
    MemoryBankDescription described;
    if (!device
        || device->GetMemoryBank(bank, &name, &described.firstAddress, &described.words, &described.widthBits)
               != tolvane::kStatusDone)
        return std::nullopt;
    described.name = QString::fromLocal8Bit(name ? name : "");
    return described;
}

MemoryGridModel::MemoryGridModel(DebugViewHost& host, QObject* parent) : EditableGridModel(parent), host_(host) {}

bool MemoryGridModel::selectBank(int bank)
{
    const std::optional<MemoryBankDescription> described = describeBank(host_.device(), bank);
    if (!described)
        return false;
    const int first = described->firstAddress;
    const int words = described->words;
    const int width = described->widthBits;
    const bool sameShape = bank == bank_ && first == first_ && std::max(words, 0) == count_ && width == width_;
    if (!sameShape)
        beginResetModel();
    bank_ = bank;
    first_ = first;
    count_ = std::max(words, 0);
    width_ = std::clamp(width, 0, 32);
    addressBits_ = addressBitsOf(int64_t{first_} + count_ - 1);
    pages_.assign(static_cast<size_t>((int64_t{count_} + kWordsPerPage - 1) / kWordsPerPage), Page{});
    if (sameShape) {
        if (count_ > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, kWordsPerRow - 1));
    } else {
        endResetModel();
    }
    return true;
}

void MemoryGridModel::clear()
{
    beginResetModel();
    bank_ = -1;
    first_ = count_ = width_ = 0;
    addressBits_ = 4;
    pages_.clear();
    endResetModel();
}

void MemoryGridModel::readPage(int page)
{
    Page& cached = pages_[static_cast<size_t>(page)];
    if (!cached.stale)
        return;
    AbstractDevice* device = host_.device();
    std::vector<int32_t> words(kWordsPerPage);
    if (!device
        || device->ReadMemory(bank_, first_ + page * kWordsPerPage, kWordsPerPage, words.data())
               != tolvane::kStatusDone)
        return;
    cached.words = std::move(words);
    cached.stale = false;
    cached.everRead = true;
    const int firstRow = page * kWordsPerPage / kWordsPerRow;
    const int lastRow = std::min(rowCount(), firstRow + kWordsPerPage / kWordsPerRow) - 1;
    emit dataChanged(index(firstRow, 0), index(lastRow, kWordsPerRow - 1));
}

std::pair<int, int> MemoryGridModel::pagesOfRows(int firstRow, int lastRow) const
{
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, rowCount() - 1);
    if (firstRow > lastRow)
        return {0, -1};
    const int lastPage = (lastRow * kWordsPerRow + kWordsPerRow - 1) / kWordsPerPage;
    return {firstRow * kWordsPerRow / kWordsPerPage, std::min(lastPage, static_cast<int>(pages_.size()) - 1)};
}

void MemoryGridModel::readRows(int firstRow, int lastRow)
{
    const auto [firstPage, lastPage] = pagesOfRows(firstRow, lastRow);
    for (int page = firstPage; page <= lastPage; ++page)
        readPage(page);
}

bool MemoryGridModel::rowsNeedReading(int firstRow, int lastRow) const
{
    const auto [firstPage, lastPage] = pagesOfRows(firstRow, lastRow);
    for (int page = firstPage; page <= lastPage; ++page)
        if (pages_[static_cast<size_t>(page)].stale)
            return true;
    return false;
}

uint32_t MemoryGridModel::mask() const
{
    return width_ > 31 ? 0xFFFFFFFFu : (1u << width_) - 1;
}

QString MemoryGridModel::wordText(int index) const
{
    const Page& page = pages_[static_cast<size_t>(index / kWordsPerPage)];
    if (!page.everRead)
        return QString();
    const uint32_t word = static_cast<uint32_t>(page.words[static_cast<size_t>(index % kWordsPerPage)]);
    return hexDigits(word & mask(), wordDigits());
}

std::optional<int> MemoryGridModel::wordAddress(const QModelIndex& index) const
{
    if (!index.isValid())
        return std::nullopt;
    const int word = index.row() * kWordsPerRow + index.column();
    if (word >= count_)
        return std::nullopt;
    return first_ + word;
}

QString MemoryGridModel::addressText(int address) const
{
    return QStringLiteral("0x") + hexDigits(static_cast<uint32_t>(address), addressDigits());
}

QString MemoryGridModel::rowAddressText(int row) const
{
    return addressText(first_ + row * kWordsPerRow);
}

QStringList MemoryGridModel::dumpRows()
{
    readRows(0, rowCount() - 1);
    QStringList lines;
    for (int row = 0; row < rowCount(); ++row) {
        QString line = rowAddressText(row);
        for (int column = 0; column < kWordsPerRow; ++column)
            line += QLatin1Char(',') + wordText(row * kWordsPerRow + column);
        lines << line;
    }
    return lines;
}

int MemoryGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : (count_ + kWordsPerRow - 1) / kWordsPerRow;
}

int MemoryGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kWordsPerRow;
}

QVariant MemoryGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int word = index.row() * kWordsPerRow + index.column();
    switch (role) {
    case Qt::DisplayRole:
        return wordText(word);
    case Qt::EditRole:
        // An edited word's page is read now if it has not been.
        const_cast<MemoryGridModel*>(this)->readPage(word / kWordsPerPage);
        return wordText(word);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignCenter);
    case Qt::FontRole:
        return DebugWindow::gridFont();
    default:
        return {};
    }
}

QVariant MemoryGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::FontRole)
        return DebugWindow::gridFont();
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return QString::number(section, 16).toUpper();
    return rowAddressText(section);
}

Qt::ItemFlags MemoryGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    // A word past the bank's end would be written outside it.
    if (wordAddress(index))
        flags |= Qt::ItemIsEditable;
    return flags;
}

std::optional<QString> MemoryGridModel::commitEdit(const QModelIndex& index, const QString& text)
{
    const QString shown = text.contains(QLatin1String("0x")) ? text : QStringLiteral("0x") + text;
    const std::optional<uint32_t> value = parseWord(shown);
    if (!value || (*value & ~mask()))
        return shown + QStringLiteral(" is not a valid value.");
    AbstractDevice* device = host_.device();
    const std::optional<MemoryBankDescription> described = describeBank(device, bank_);
    if (!described)
        return QStringLiteral("An error occurred while accessing the device's memory.");
    const int32_t word = static_cast<int32_t>(*value);
    const int address = described->firstAddress + index.row() * kWordsPerRow + index.column();
    if (device->WriteMemory(bank_, address, 1, &word) != tolvane::kStatusDone)
        return QStringLiteral("An error occured while trying to set the memory contents.");
    host_.refreshDebugWindows();
    return std::nullopt;
}
