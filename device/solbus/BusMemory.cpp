// Memory pages of 32 bytes holding packets [length, data, inverted CRC16]:
// read in one block, written through the scratchpad or byte by byte as
// EPROM with a program pulse after each byte.
#include <algorithm>

#include "AdapterLink.h"
#include "BusCrc.h"
#include "BusDevices.h"
#include "LinkErrors.h"

namespace solbus {

using namespace detail;

namespace {

constexpr int kPageSize = 32;
// Length byte, data and two CRC bytes fill at most one page.
constexpr int kMaxPacketData = kPageSize - 3;

constexpr uint8_t kMatchRom = 0x55;
constexpr uint8_t kReadMemory = 0xF0;
constexpr uint8_t kWriteScratchpad = 0x0F;
constexpr uint8_t kReadScratchpad = 0xAA;
constexpr uint8_t kCopyScratchpad = 0x55;
constexpr uint8_t kWriteEprom = 0x0F;
// A family that sends a check byte after the address of a memory read.
constexpr uint8_t kCheckByteFamily = 0x09;

uint8_t addressLow(int page)
{
    return static_cast<uint8_t>(page * kPageSize);
}

uint8_t addressHigh(int page)
{
    return static_cast<uint8_t>(page >> 3);
}

// Select, a command and the page's address.
std::vector<uint8_t> selectAndAddress(const AdapterState& state, uint8_t command, int page)
{
    std::vector<uint8_t> bytes{kMatchRom};
    bytes.insert(bytes.end(), state.rom.begin(), state.rom.end());
    bytes.push_back(command);
    bytes.push_back(addressLow(page));
    bytes.push_back(addressHigh(page));
    return bytes;
}

bool block(int port, std::vector<uint8_t>& bytes, bool resetFirst)
{
    return BusBlock(port, resetFirst, bytes.data(), static_cast<int>(bytes.size())) != 0;
}

}  // namespace

int BusReadPacket(int port, bool select, int page, uint8_t* buffer)
{
    if (!checkPort(port))
        return -1;
    const AdapterState& state = stateOf(port);
    std::vector<uint8_t> bytes;
    if (select) {
        bytes = selectAndAddress(state, kReadMemory, page);
        if (state.rom[0] == kCheckByteFamily)
            bytes.push_back(0xFF);
    }
    const size_t packetAt = bytes.size();
    bytes.insert(bytes.end(), kPageSize, 0xFF);
    if (!block(port, bytes, select)) {
        PushLinkError(kErrorBlockFailed);
        return -1;
    }
    const uint8_t* packet = bytes.data() + packetAt;
    const int length = packet[0];
    if (length > kMaxPacketData) {
        PushLinkError(kErrorCrcLength);
        return -1;
    }
    if (crc16(packet, static_cast<size_t>(length) + 3, static_cast<uint16_t>(page)) != kCrc16Residue) {
        PushLinkError(kErrorCrc);
        return -1;
    }
    std::copy_n(packet + 1, length, buffer);
    return length;
}

int BusWritePacket(int port, int page, const uint8_t* data, int length, bool eprom, bool crc16Replies)
{
    if (!checkPort(port) || length < 0 || length > kMaxPacketData)
        return 0;
    std::vector<uint8_t> packet{static_cast<uint8_t>(length)};
    packet.insert(packet.end(), data, data + length);
    const uint16_t crc = static_cast<uint16_t>(~crc16(packet.data(), packet.size(), static_cast<uint16_t>(page)));
    packet.push_back(static_cast<uint8_t>(crc));
    packet.push_back(static_cast<uint8_t>(crc >> 8));
    const int size = static_cast<int>(packet.size());

    if (eprom) {
        for (int i = 0; i < size; ++i) {
            const int programmed =
                BusProgramByte(port, packet[i], page * kPageSize + i, kWriteEprom, crc16Replies, i == 0);
            if (programmed < 0)
                return 0;
            if (programmed != packet[i]) {
                PushLinkError(kErrorProgramByte);
                return 0;
            }
        }
        return 1;
    }
    if (!BusWriteScratchpad(port, page, packet.data(), size)) {
        PushLinkError(kErrorWriteScratchpad);
        return 0;
    }
    if (!BusCopyScratchpad(port, page, size)) {
        PushLinkError(kErrorCopyScratchpad);
        return 0;
    }
    return 1;
}

int BusProgramByte(int port, int byte, int address, int command, bool crc16Replies, bool select)
{
    if (!checkPort(port))
        return -1;
    std::vector<uint8_t> sent;
    if (select) {
        if (!BusAccess(port)) {
            PushLinkError(kErrorAccessFailed);
            return -1;
        }
        sent = {static_cast<uint8_t>(command), static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8)};
    }
    sent.push_back(static_cast<uint8_t>(byte));
    // Command and address go only with the first byte of a run.
    for (uint8_t value : sent) {
        if (!BusWriteByte(port, value)) {
            PushLinkError(kErrorWriteByte);
            return -1;
        }
    }
    bool checked;
    if (crc16Replies) {
        uint16_t crc = crc16(sent.data(), sent.size(), select ? 0 : static_cast<uint16_t>(address));
        crc = crc16Update(crc, static_cast<uint8_t>(BusReadByte(port)));
        crc = crc16Update(crc, static_cast<uint8_t>(BusReadByte(port)));
        checked = crc == kCrc16Residue;
    } else {
        uint8_t crc = crc8(sent.data(), sent.size(), select ? 0 : static_cast<uint8_t>(address));
        crc = crc8Update(crc, static_cast<uint8_t>(BusReadByte(port)));
        checked = crc == 0;
    }
    if (!checked) {
        PushLinkError(kErrorCrc);
        return -1;
    }
    if (!BusProgramPulse(port)) {
        PushLinkError(kErrorProgramPulse);
        return -1;
    }
    return BusReadByte(port);
}

int BusWriteScratchpad(int port, int page, const uint8_t* data, int length)
{
    if (!checkPort(port) || length < 1 || length > kPageSize)
        return 0;
    std::vector<uint8_t> write = selectAndAddress(stateOf(port), kWriteScratchpad, page);
    write.insert(write.end(), data, data + length);
    if (!block(port, write, true)) {
        PushLinkError(kErrorBlockFailed);
        return 0;
    }
    // Read back: the address, the ending offset, then the data.
    std::vector<uint8_t> read{kMatchRom};
    read.insert(read.end(), stateOf(port).rom.begin(), stateOf(port).rom.end());
    read.push_back(kReadScratchpad);
    const size_t backAt = read.size();
    read.insert(read.end(), static_cast<size_t>(length) + 3, 0xFF);
    if (!block(port, read, true)) {
        PushLinkError(kErrorBlockFailed);
        return 0;
    }
    const uint8_t* back = read.data() + backAt;
    if (back[0] != addressLow(page) || back[1] != addressHigh(page) || back[2] + 1 != length) {
        PushLinkError(kErrorReadVerify);
        return 0;
    }
    if (!std::equal(data, data + length, back + 3)) {
        PushLinkError(kErrorWriteVerify);
        return 0;
    }
    return 1;
}

int BusCopyScratchpad(int port, int page, int length)
{
    if (!checkPort(port) || length < 1 || length > kPageSize)
        return 0;
    std::vector<uint8_t> copy = selectAndAddress(stateOf(port), kCopyScratchpad, page);
    const size_t backAt = copy.size() - 2;
    copy.push_back(static_cast<uint8_t>(length - 1));
    copy.push_back(0xFF);
    if (!block(port, copy, true)) {
        PushLinkError(kErrorBlockFailed);
        return 0;
    }
    const uint8_t* back = copy.data() + backAt;
    if (back[0] != addressLow(page) || back[1] != addressHigh(page) || back[2] != length - 1 || back[3] >= 16) {
        PushLinkError(kErrorReadVerify);
        return 0;
    }
    return 1;
}

}  // namespace solbus
