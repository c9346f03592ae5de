#include "HexStream.h"

namespace zernasm {

namespace {
constexpr int kRecordSize = 16;
}

void HexStream::Reset(bool extendedMode)
{
    *this = HexStream();
    extendedMode_ = extendedMode;
}

void HexStream::WriteRecord(const uint8_t* bytes, int count)
{
    uint8_t sum = 0;
    char line[2 * (4 + kRecordSize + 1) + 3];
    static const char digits[] = "0123456789ABCDEF";
    int at = 0;
    line[at++] = ':';
    for (int i = 0; i < count; ++i) {
        sum = static_cast<uint8_t>(sum + bytes[i]);
        line[at++] = digits[bytes[i] >> 4];
        line[at++] = digits[bytes[i] & 15];
    }
    const uint8_t check = static_cast<uint8_t>(-sum);
    line[at++] = digits[check >> 4];
    line[at++] = digits[check & 15];
    line[at++] = '\n';
    fwrite(line, 1, static_cast<size_t>(at), file_);
}

void HexStream::Flush()
{
    if (recordLength_ == 0)
        return;
    record_[0] = static_cast<uint8_t>(recordLength_ - 4);
    WriteRecord(record_, recordLength_);
    recordLength_ = 0;
}

void HexStream::AnnounceUpper(uint32_t address)
{
    upperKnown_ = true;
    upperAddress_ = address;
    if (!extendedMode_)
        return;
    const uint8_t record[6] = {2, 0, 0, 4, static_cast<uint8_t>(address >> 24), static_cast<uint8_t>(address >> 16)};
    WriteRecord(record, 6);
}

void HexStream::SetAddress(uint32_t byteAddress)
{
    byteAddress_ = byteAddress;
    if (!started_)
        return;
    Flush();
    if (!upperKnown_ || (byteAddress >> 16) != (upperAddress_ >> 16)) {
        AnnounceUpper(byteAddress);
    }
    upperAddress_ = byteAddress;
    addressChanged_ = true;
}

void HexStream::PutByte(FILE* file, uint8_t value)
{
    // Within an open record at an unchanged address the byte just joins it.
    if (recordLength_ != 0 && !addressChanged_ && (byteAddress_ >> 16) == (upperAddress_ >> 16)) {
        record_[recordLength_++] = value;
        if (recordLength_ == 4 + kRecordSize)
            Flush();
        ++byteAddress_;
        return;
    }
    if (!started_) {
        started_ = true;
        file_ = file;
        SetAddress(byteAddress_);
    }
    if (!upperKnown_ || (byteAddress_ >> 16) != (upperAddress_ >> 16)) {
        Flush();
        AnnounceUpper(byteAddress_);
    }
    if (addressChanged_) {
        Flush();
        addressChanged_ = false;
    }
    if (recordLength_ == 0) {
        record_[0] = 0;
        record_[1] = static_cast<uint8_t>(byteAddress_ >> 8);
        record_[2] = static_cast<uint8_t>(byteAddress_);
        record_[3] = 0;
        recordLength_ = 4;
    }
    record_[recordLength_++] = value;
    if (recordLength_ == 4 + kRecordSize)
        Flush();
    ++byteAddress_;
}

void HexStream::End()
{
    if (!started_)
        return;
    Flush();
    fputs(":00000001FF\n", file_);
}

}  // namespace zernasm
