#include "BusCrc.h"

#include <array>

namespace solbus {
namespace {

constexpr std::array<uint8_t, 256> makeCrc8Table()
{
    std::array<uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        uint8_t crc = static_cast<uint8_t>(value);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint8_t>(crc & 1 ? (crc >> 1) ^ 0x8C : crc >> 1);
        table[value] = crc;
    }
    return table;
}

constexpr std::array<uint8_t, 256> kCrc8Table = makeCrc8Table();

}  // namespace

uint8_t crc8Update(uint8_t crc, uint8_t byte)
{
    return kCrc8Table[crc ^ byte];
}

uint8_t crc8(const uint8_t* data, size_t count, uint8_t seed)
{
    uint8_t crc = seed;
    for (size_t i = 0; i < count; ++i)
        crc = crc8Update(crc, data[i]);
    return crc;
}

uint16_t crc16Update(uint16_t crc, uint8_t byte)
{
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
        crc = static_cast<uint16_t>(crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1);
    return crc;
}

uint16_t crc16(const uint8_t* data, size_t count, uint16_t seed)
{
    uint16_t crc = seed;
    for (size_t i = 0; i < count; ++i)
        crc = crc16Update(crc, data[i]);
    return crc;
}

}  // namespace solbus
