#pragma once
// What the Solbus Tool does on the open port, one exchange per operation:
// bus reset, single bytes, the chip's debug-port control, test and status
// words, and one register of the chip's debug engine. Each operation holds
// the port's lock, so that it never cuts into the link driver's traffic.
// Without an open port every operation fails and sends nothing. A read
// whose transfer fails gives 0.

#include <cstdint>
#include <optional>
#include <string>

namespace solbus {

class ToolPort {
public:
    explicit ToolPort(int port) : port_(port) {}

    // True when a device answered with its presence pulse.
    bool touchReset();
    uint8_t readByte();
    bool writeByte(uint8_t byte);
    // Words go out low byte first.
    uint16_t readControl();
    bool writeControl(uint16_t word);
    uint16_t readTest();
    bool writeTest(uint16_t word);
    bool writeTestByte(uint8_t byte);
    uint16_t readStatus();
    bool writeStatus(uint16_t word);
    // Nothing when the command or its reply failed.
    std::optional<uint16_t> readRegister(uint8_t module, uint8_t index);
    bool writeRegister(uint8_t module, uint8_t index, uint16_t value);

private:
    // The operation's result under the port's lock; failure without a port.
    template <typename Result, typename Operation>
    Result locked(Result failure, Operation&& operation);
    // The function command, then two bytes read: low, high.
    uint16_t readWord(uint8_t command);
    // The function command and the word's low byte (and its high byte) in one block.
    bool writeBlock(uint8_t command, uint16_t word, bool highByte = true);

    int port_;
};

// A field's text as a number: hexadecimal digits only (as after "0x"), at
// most eight of them; nothing for anything else.
std::optional<uint32_t> parseHexField(const std::string& text);
// Upper-case hexadecimal with the given number of digits.
std::string hexField(uint32_t value, int digits);

}  // namespace solbus
