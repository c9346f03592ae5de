#pragma once
// One Intel HEX output stream (program or data), written record by record.
#include <cstdint>
#include <cstdio>

namespace zernasm {

class HexStream {
public:
    void Reset(bool extendedMode);
    // Moves the stream to a new byte address; nothing is written before the first byte.
    void SetAddress(uint32_t byteAddress);
    void PutByte(FILE* file, uint8_t value);
    // Flushes the open record and writes the end record, for a stream that started.
    void End();

private:
    void AnnounceUpper(uint32_t address);
    void Flush();
    void WriteRecord(const uint8_t* bytes, int count);

    bool extendedMode_ = true;
    bool started_ = false;
    FILE* file_ = nullptr;
    bool upperKnown_ = false;
    uint32_t upperAddress_ = 0;
    bool addressChanged_ = false;
    uint32_t byteAddress_ = 0;
    uint8_t record_[4 + 16] = {};
    int recordLength_ = 0;  // 0 when no data record is open
};

}  // namespace zernasm
