#include "SolbusToolPort.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <vector>

#include "AdapterLink.h"
#include "BusAdapter.h"
#include "DebugTransport.h"
#include "SerialPorts.h"

namespace solbus {
namespace {

constexpr uint8_t kReadControl = 0xE1;
constexpr uint8_t kWriteControl = 0xD2;
constexpr uint8_t kReadTest = 0xAA;
constexpr uint8_t kWriteTest = 0x0F;
constexpr uint8_t kWriteTestByte = 0x77;
constexpr uint8_t kReadStatus = 0x22;
constexpr uint8_t kWriteStatus = 0x2D;
constexpr uint8_t kRegisterRead = 0x29;
constexpr uint8_t kRegisterWrite = 0x24;
constexpr uint8_t kReadSlot = 0xFF;
constexpr size_t kMaxDigits = 8;

}  // namespace

template <typename Result, typename Operation>
Result ToolPort::locked(Result failure, Operation&& operation)
{
    std::recursive_mutex* lock = portLock(port_);
    if (!lock || !serialPortIsOpen(port_))
        return failure;
    std::lock_guard guard(*lock);
    return operation();
}

bool ToolPort::touchReset()
{
    return locked(false, [this] { return BusReset(port_) != 0; });
}

uint8_t ToolPort::readByte()
{
    return locked(uint8_t{0}, [this] { return static_cast<uint8_t>(BusReadByte(port_)); });
}

bool ToolPort::writeByte(uint8_t byte)
{
    return locked(false, [&] { return BusWriteByte(port_, byte) != 0; });
}

uint16_t ToolPort::readWord(uint8_t command)
{
    return locked(uint16_t{0}, [&]() -> uint16_t {
        uint8_t low = 0;
        uint8_t high = 0;
        if (!BusWriteByte(port_, command) || !detail::touchByte(port_, kReadSlot, low)
            || !detail::touchByte(port_, kReadSlot, high))
            return 0;
        return static_cast<uint16_t>(low | high << 8);
    });
}

bool ToolPort::writeBlock(uint8_t command, uint16_t word, bool highByte)
{
    return locked(false, [&] {
        std::vector<uint8_t> block = {command, static_cast<uint8_t>(word)};
        if (highByte)
            block.push_back(static_cast<uint8_t>(word >> 8));
        return BusBlock(port_, false, block.data(), static_cast<int>(block.size())) != 0;
    });
}

uint16_t ToolPort::readControl()
{
    return readWord(kReadControl);
}

bool ToolPort::writeControl(uint16_t word)
{
    return writeBlock(kWriteControl, word);
}

uint16_t ToolPort::readTest()
{
    return readWord(kReadTest);
}

bool ToolPort::writeTest(uint16_t word)
{
    return writeBlock(kWriteTest, word);
}

bool ToolPort::writeTestByte(uint8_t byte)
{
    return writeBlock(kWriteTestByte, byte, false);
}

uint16_t ToolPort::readStatus()
{
    return readWord(kReadStatus);
}

bool ToolPort::writeStatus(uint16_t word)
{
    return writeBlock(kWriteStatus, word);
}

std::optional<uint16_t> ToolPort::readRegister(uint8_t module, uint8_t index)
{
    return locked(std::optional<uint16_t>(), [&]() -> std::optional<uint16_t> {
        DebugTransport transport(port_);
        const std::array<uint8_t, 3> command = {kRegisterRead, static_cast<uint8_t>(module | index << 4),
                                                static_cast<uint8_t>(index >> 4)};
        if (!transport.SendDebugCommand(command))
            return std::nullopt;
        const std::optional<std::vector<uint8_t>> data = transport.replyData(2);
        if (!data)
            return std::nullopt;
        return static_cast<uint16_t>((*data)[0] | (*data)[1] << 8);
    });
}

bool ToolPort::writeRegister(uint8_t module, uint8_t index, uint16_t value)
{
    return locked(false, [&] {
        const std::array<uint8_t, 5> command = {kRegisterWrite, static_cast<uint8_t>(index << 4 | (module & 0x0F)),
                                                static_cast<uint8_t>((index >> 4) & 0x0F), static_cast<uint8_t>(value),
                                                static_cast<uint8_t>(value >> 8)};
        return DebugTransport(port_).SendDebugCommand(command);
    });
}

std::optional<uint32_t> parseHexField(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos || last - first + 1 > kMaxDigits)
        return std::nullopt;
    uint32_t value = 0;
    for (size_t i = first; i <= last; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isxdigit(c))
            return std::nullopt;
        value = value << 4 | static_cast<uint32_t>(std::isdigit(c) ? c - '0' : std::toupper(c) - 'A' + 10);
    }
    return value;
}

std::string hexField(uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

}  // namespace solbus
