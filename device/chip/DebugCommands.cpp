#include "DebugCommands.h"

#include <algorithm>
#include <iterator>

namespace zern::chip::debug {
namespace {

constexpr uint8_t kBreakpointTail[] = {0x11, 0x80};

int breakpointAddressBytes(Core core)
{
    return core == Core::Bits32 ? 3 : 2;
}

Bytes named(uint8_t command, uint8_t module, uint8_t index)
{
    const auto name = registerName(module, index);
    return {command, name[0], name[1]};
}

}  // namespace

Bytes breakRequest()
{
    return {kBreak};
}

Bytes status()
{
    return {kStatus};
}

Bytes step()
{
    return {kStep};
}

Bytes go()
{
    return {kGo};
}

std::array<uint8_t, 2> registerName(uint8_t module, uint8_t index)
{
    return {static_cast<uint8_t>((index & 0x0F) << 4 | (module & 0x0F)), static_cast<uint8_t>(index >> 4)};
}

Bytes registerRead(uint8_t module, uint8_t index)
{
    return named(kRegisterRead, module, index);
}

int64_t registerValue(Core core, std::span<const uint8_t> answer)
{
    const int bytes = std::min(registerBytes(core), static_cast<int>(answer.size()));
    const uint64_t value = littleEndian(answer.data(), bytes);
    if (core == Core::Bits32)
        return static_cast<int32_t>(value);
    return static_cast<int64_t>(value);
}

Bytes registerWrite(Core core, uint8_t module, uint8_t index, int32_t value)
{
    Bytes body = named(kRegisterWrite, module, index);
    appendLittleEndian(body, static_cast<uint32_t>(value), registerBytes(core));
    return body;
}

std::optional<Bytes> memoryWrite(Core core, uint64_t wordAddress, uint8_t low, uint8_t high)
{
    if (!fits(wordAddress, wordAddressBytes(core)))
        return std::nullopt;
    Bytes body{kMemoryWrite};
    appendLittleEndian(body, wordAddress, wordAddressBytes(core));
    body.insert(body.end(), {low, high});
    return body;
}

std::optional<Bytes> blockRead(Core core, uint64_t wordAddress, uint16_t words)
{
    if (!fits(wordAddress, wordAddressBytes(core)))
        return std::nullopt;
    Bytes body{kBlockRead};
    appendLittleEndian(body, wordAddress, wordAddressBytes(core));
    appendLittleEndian(body, words, 2);
    return body;
}

Bytes registerDump()
{
    return {kRegisterDump};
}

size_t registerDumpCountBytes(Core core)
{
    return core == Core::Bits32 ? 2 : 1;
}

Bytes contextPassword(const Password& password)
{
    return commandWith(kContextPassword, password);
}

std::optional<Bytes> setCodeBreakpoint(Core core, int slot, uint64_t address)
{
    const int bytes = breakpointAddressBytes(core);
    if (!fits(address, bytes))
        return std::nullopt;
    Bytes body{static_cast<uint8_t>(kFirstCodeBreakpoint + slot)};
    appendLittleEndian(body, address, bytes);
    body.insert(body.end(), std::begin(kBreakpointTail), std::end(kBreakpointTail));
    return body;
}

Bytes clearCodeBreakpoint(Core core, int slot)
{
    Bytes body{static_cast<uint8_t>(kFirstCodeBreakpoint + slot)};
    body.insert(body.end(), static_cast<size_t>(breakpointAddressBytes(core)), 0xFF);
    return body;
}

Bytes setDataBreakpoint(int which, uint32_t address)
{
    Bytes body{static_cast<uint8_t>(kFirstDataBreakpoint + which)};
    appendLittleEndian(body, address, 4);
    body.insert(body.end(), std::begin(kBreakpointTail), std::end(kBreakpointTail));
    return body;
}

}  // namespace zern::chip::debug
