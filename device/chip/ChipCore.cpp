#include "ChipCore.h"

#include <algorithm>

namespace zern::chip {

Bytes commandWith(uint8_t command, std::span<const uint8_t> arguments)
{
    Bytes body(1 + arguments.size());
    body[0] = command;
    std::copy(arguments.begin(), arguments.end(), body.begin() + 1);
    return body;
}

void appendLittleEndian(Bytes& bytes, uint64_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint64_t littleEndian(const uint8_t* bytes, int count)
{
    uint64_t value = 0;
    for (int i = count; i-- > 0;)
        value = value << 8 | bytes[i];
    return value;
}

bool fits(uint64_t value, int bytes)
{
    return bytes >= 8 || value >> (8 * bytes) == 0;
}

}  // namespace zern::chip
