#include "LoaderCommands.h"

namespace zern::chip::loader {
namespace {

enum Command : uint8_t {
    kPrompt = 0x00,
    kQuit = 0x01,
    kMasterErase = 0x02,
    kUnlock = 0x03,
    kStatus = 0x04,
    kInformation = 0x05,
    kExtendedMode = 0x0A,
    kVariableWrite = 0x10,
    kShortPageReadCommand = 0x20,
    kFixedPage = 0x90,
    kPageReadCommand = 0xA0,
    kEraseLastBlockCommand = 0xE0,
};

constexpr uint8_t kErased = 0xFF;

uint8_t command(uint8_t code, Target target)
{
    return static_cast<uint8_t>(code | (target == Target::Data ? 1 : 0));
}

bool evenPage(size_t bytes)
{
    return bytes != 0 && bytes % 2 == 0 && bytes / 2 <= 0xFF;
}

std::optional<Bytes> pageHeader(uint8_t code, Form form, Target target, uint64_t address, size_t pageBytes)
{
    switch (form) {
    case Form::Bytes16: {
        if (pageBytes == 0 || pageBytes > 0xFF || address > 0xFFFF)
            return std::nullopt;
        Bytes header{command(code, target), static_cast<uint8_t>(pageBytes)};
        appendLittleEndian(header, address, 2);
        return header;
    }
    case Form::Words16: {
        if (!evenPage(pageBytes) || address > 0xFFFF)
            return std::nullopt;
        Bytes header{command(code, target), static_cast<uint8_t>(pageBytes / 2)};
        appendLittleEndian(header, address, 2);
        return header;
    }
    case Form::Words32: {
        if (!evenPage(pageBytes) || address > 0xFFFFFF)
            return std::nullopt;
        Bytes header{command(code, target), static_cast<uint8_t>(pageBytes / 2), 0x00};
        appendLittleEndian(header, address, 3);
        return header;
    }
    }
    return std::nullopt;
}

}  // namespace

Bytes prompt()
{
    return {kPrompt};
}

Bytes quit()
{
    return {kQuit};
}

Bytes masterErase()
{
    return {kMasterErase};
}

Bytes unlock(const std::array<uint8_t, 32>& password)
{
    return commandWith(kUnlock, password);
}

Bytes status()
{
    return {kStatus};
}

Bytes information()
{
    return {kInformation};
}

Bytes extendedMode(bool on)
{
    return {kExtendedMode, static_cast<uint8_t>(on ? 1 : 0)};
}

Bytes eraseLastBlock(uint32_t codeWords)
{
    const uint32_t last = codeWords - 1;
    return {kEraseLastBlockCommand, 0x00, static_cast<uint8_t>(last >> 8), static_cast<uint8_t>(last >> 16), 0x00};
}

Form formFor(Core core, uint64_t byteAddress)
{
    if (core == Core::Bits32)
        return Form::Words32;
    return byteAddress > 0xFFFF ? Form::Words16 : Form::Bytes16;
}

std::optional<Bytes> pageWriteHeader(Form form, Target target, uint64_t address, size_t pageBytes)
{
    return pageHeader(kFixedPage, form, target, address, pageBytes);
}

std::optional<Bytes> pageReadHeader(Form form, Target target, uint64_t address, size_t pageBytes)
{
    return pageHeader(kPageReadCommand, form, target, address, pageBytes);
}

std::optional<Bytes> shortPageReadHeader(Target target, uint64_t byteAddress, uint8_t pageBytes)
{
    if (pageBytes == 0 || byteAddress > 0xFFFF)
        return std::nullopt;
    Bytes header{command(kShortPageReadCommand, target), 0x01};
    appendLittleEndian(header, byteAddress, 2);
    header.push_back(pageBytes);
    return header;
}

std::optional<Bytes> variableWriteHeader(Form form, Target target, uint64_t address, size_t dataBytes)
{
    Bytes header{command(kVariableWrite, target)};
    switch (form) {
    case Form::Bytes16:
        if (address > 0xFFFF)
            return std::nullopt;
        header.push_back(static_cast<uint8_t>(dataBytes));
        appendLittleEndian(header, address, 2);
        return header;
    case Form::Words16:
        if (address > 0xFFFF)
            return std::nullopt;
        header.push_back(static_cast<uint8_t>(dataBytes / 2));
        appendLittleEndian(header, address, 2);
        return header;
    case Form::Words32:
        if (address > 0xFFFFFF)
            return std::nullopt;
        appendLittleEndian(header, dataBytes / 2, 2);
        appendLittleEndian(header, address, 3);
        return header;
    }
    return std::nullopt;
}

Bytes paddedToWords(std::span<const uint8_t> bytes)
{
    Bytes words(bytes.begin(), bytes.end());
    if (words.size() % 2 != 0)
        words.push_back(kErased);
    return words;
}

Bytes fromWordStart(uint8_t byteBefore, std::span<const uint8_t> data)
{
    Bytes bytes;
    bytes.reserve(data.size() + 1);
    bytes.push_back(byteBefore);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

}  // namespace zern::chip::loader
