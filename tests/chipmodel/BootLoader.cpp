#include "BootLoader.h"

#include <algorithm>

namespace zern::chipmodel {
namespace {

enum Command : uint8_t {
    kPrompt = 0x00,
    kQuit = 0x01,
    kMasterErase = 0x02,
    kUnlock = 0x03,
    kStatus = 0x04,
    kInformation = 0x05,
    kExtendedMode = 0x0A,
    kVariableWriteCode = 0x10,
    kVariableWriteData = 0x11,
    kShortPageReadCode = 0x20,
    kShortPageReadData = 0x21,
    kFixedPageCode = 0x90,
    kFixedPageData = 0x91,
    kPageReadCode = 0xA0,
    kPageReadData = 0xA1,
    kEraseLastBlock = 0xE0,
    kPasswordAddressQuery = 0xF6,
};

enum Status : uint8_t {
    kGood = 0x00,
    kBadRecord = 0x01,
    kVerifyFailed = 0x02,
    kOutOfRange = 0x03,
};

constexpr uint8_t kReady = '>';
constexpr size_t kShortReadHeader = 6;
constexpr uint64_t kBlockBytes = 512;

void setData(std::vector<uint8_t>& reply, size_t first, size_t pair, uint8_t value)
{
    const size_t at = first + 2 * pair + 1;
    if (at < reply.size())
        reply[at] = value;
}

}  // namespace

void BootLoader::start()
{
    active_ = true;
    extended_ = false;
    status_ = kGood;
    busyPolls_ = 0;
    pendingWrite_.reset();
    answeringQuery_ = false;
}

void BootLoader::refuse(const std::string& why)
{
    status_ = kBadRecord;
    chip_.protocolErrors.push_back("boot loader: " + why);
}

bool BootLoader::shift(const std::vector<uint8_t>& record, std::vector<uint8_t>& reply)
{
    const size_t first = reply.size();
    for (size_t i = 0; i < record.size(); ++i) {
        reply.push_back(chip_.transferStatus());
        reply.push_back(0);
    }
    if (pendingWrite_) {
        variableWriteData(record);
        return false;
    }
    if (answeringQuery_) {
        queryAnswer(record, reply, first);
        return false;
    }
    switch (record[0]) {
    case kPrompt: {
        const bool ready = busyPolls_ == 0 && !chip_.faults.loaderWithoutPrompt;
        if (busyPolls_ > 0)
            --busyPolls_;
        setData(reply, first, record.size() - 1, ready ? kReady : 0);
        return false;
    }
    case kQuit:
        active_ = false;
        return true;
    case kMasterErase:
        chip_.codeFlash.clear();
        busyPolls_ = chip_.settings.eraseBusyPolls;
        ++masterErases;
        status_ = kGood;
        return false;
    case kUnlock:
        if (record.size() != 33) {
            refuse("unlock record of " + std::to_string(record.size()) + " bytes");
            return false;
        }
        unlockPasswords.emplace_back();
        std::copy(record.begin() + 1, record.end(), unlockPasswords.back().begin());
        status_ = kGood;
        return false;
    case kStatus:
        setData(reply, first, 3, chip_.faults.loaderStatus.value_or(status_));
        return false;
    case kInformation:
        setData(reply, first, 2, static_cast<uint8_t>(chip_.settings.loaderFlags));
        setData(reply, first, 3, static_cast<uint8_t>(chip_.settings.loaderFlags >> 8));
        setData(reply, first, 4, chip_.settings.codePageSize);
        setData(reply, first, 5, chip_.settings.dataPageSize);
        return false;
    case kExtendedMode:
        extended_ = record.size() > 1 && record[1] != 0;
        return false;
    case kVariableWriteCode:
    case kVariableWriteData:
        pendingWrite_ = decodeTransfer(record);
        if (!pendingWrite_)
            refuse("short variable-length header");
        return false;
    case kFixedPageCode:
    case kFixedPageData:
        fixedPageWrite(record);
        return false;
    case kPageReadCode:
    case kPageReadData:
        pageRead(record, reply, first);
        return false;
    case kShortPageReadCode:
    case kShortPageReadData:
        shortPageRead(record, reply, first);
        return false;
    case kEraseLastBlock: {
        if (record.size() != 5) {
            refuse("erase-last-block record of " + std::to_string(record.size()) + " bytes");
            return false;
        }
        const uint64_t word = static_cast<uint64_t>(record[2]) << 8 | static_cast<uint64_t>(record[3]) << 16;
        chip_.codeFlash.clear(word * 2, kBlockBytes);
        ++lastBlockErases;
        status_ = kGood;
        return false;
    }
    case kPasswordAddressQuery:
        answeringQuery_ = !chip_.settings.contexts.empty();
        queryAnswersSent_ = 0;
        status_ = kGood;
        return false;
    default:
        configuredCommands.push_back(record);
        status_ = kGood;
        return false;
    }
}

// Header shapes: 32-bit core {cmd, words (2 bytes), word address (3 bytes)},
// extended 16-bit {cmd, words, word address (2 bytes)}, plain 16-bit
// {cmd, bytes, byte address (2 bytes)}.
std::optional<BootLoader::Transfer> BootLoader::decodeTransfer(const std::vector<uint8_t>& record) const
{
    Transfer transfer;
    transfer.code = (record[0] & 1) == 0;
    if (chip_.wide()) {
        transfer.header = 6;
        if (record.size() < transfer.header)
            return std::nullopt;
        transfer.bytes = 2u * (record[1] | record[2] << 8);
        transfer.address = 2 * (record[3] | record[4] << 8 | static_cast<uint64_t>(record[5]) << 16);
        return transfer;
    }
    transfer.header = 4;
    if (record.size() < transfer.header)
        return std::nullopt;
    const uint64_t address = record[2] | record[3] << 8;
    transfer.bytes = extended_ ? 2u * record[1] : record[1];
    transfer.address = extended_ ? 2 * address : address;
    return transfer;
}

uint64_t BootLoader::pageBytes() const
{
    return chip_.wide() ? 2u * chip_.settings.codePageSize : chip_.settings.codePageSize;
}

void BootLoader::fixedPageWrite(const std::vector<uint8_t>& record)
{
    const std::optional<Transfer> page = decodeTransfer(record);
    if (!page || record.size() != page->header + page->bytes)
        return refuse("fixed-length page record of " + std::to_string(record.size()) + " bytes");
    if (page->code && (page->bytes != pageBytes() || page->address % pageBytes() != 0))
        return refuse("code page of " + std::to_string(page->bytes) + " bytes at " + std::to_string(page->address));
    status_ = program(*page, record.data() + page->header);
}

void BootLoader::variableWriteData(const std::vector<uint8_t>& record)
{
    const Transfer header = *pendingWrite_;
    pendingWrite_.reset();
    if (record.size() != header.bytes)
        return refuse("variable-length data of " + std::to_string(record.size()) + " bytes after a header for "
                      + std::to_string(header.bytes));
    status_ = program(header, record.data());
}

uint8_t BootLoader::program(const Transfer& transfer, const uint8_t* data)
{
    if (!transfer.code) {
        for (uint32_t i = 0; i < transfer.bytes; ++i)
            chip_.dataMemory.write(transfer.address + i, data[i]);
        return kGood;
    }
    if (transfer.address + transfer.bytes > chip_.settings.codeFlashBytes)
        return kOutOfRange;
    uint8_t status = kGood;
    for (uint32_t i = 0; i < transfer.bytes; ++i) {
        // Programming flash can only clear bits.
        const uint8_t programmed = chip_.codeFlash.read(transfer.address + i) & data[i];
        chip_.codeFlash.write(transfer.address + i, programmed);
        if (programmed != data[i])
            status = kVerifyFailed;
    }
    return status;
}

void BootLoader::pageRead(const std::vector<uint8_t>& record, std::vector<uint8_t>& reply, size_t first)
{
    const std::optional<Transfer> page = decodeTransfer(record);
    if (!page || record.size() != page->header + page->bytes)
        return refuse("page read record of " + std::to_string(record.size()) + " bytes");
    const SparseMemory& memory = page->code ? chip_.codeFlash : chip_.dataMemory;
    for (uint32_t i = 0; i < page->bytes; ++i)
        setData(reply, first, page->header + i, memory.read(page->address + i));
    status_ = kGood;
}

// {cmd, 1, byte address (2 bytes), P, then P + 3 fillers}: the data follows one
// byte after the header.
void BootLoader::shortPageRead(const std::vector<uint8_t>& record, std::vector<uint8_t>& reply, size_t first)
{
    if (record.size() < 5 || record.size() != record[4] + 8u)
        return refuse("short page read record of " + std::to_string(record.size()) + " bytes");
    const SparseMemory& memory = (record[0] & 1) == 0 ? chip_.codeFlash : chip_.dataMemory;
    const uint64_t address = record[2] | record[3] << 8;
    for (uint32_t i = 0; i < record[4]; ++i)
        setData(reply, first, kShortReadHeader + i, memory.read(address + i));
    status_ = kGood;
}

void BootLoader::queryAnswer(const std::vector<uint8_t>& record, std::vector<uint8_t>& reply, size_t first)
{
    const uint32_t answer = chip_.settings.contexts[queryAnswersSent_].queryAnswer;
    for (size_t i = 0; i < record.size() && i < 4; ++i)
        setData(reply, first, i, static_cast<uint8_t>(answer >> (8 * i)));
    if (++queryAnswersSent_ == chip_.settings.contexts.size())
        answeringQuery_ = false;
}

}  // namespace zern::chipmodel
