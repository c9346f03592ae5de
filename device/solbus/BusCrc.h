#pragma once
// The two check sums of the bus: CRC8 (x^8 + x^5 + x^4 + 1, reflected) over
// ROM numbers and device replies, CRC16 (x^16 + x^15 + x^2 + 1, reflected)
// over memory packets. Neither is inverted at the end.

#include <cstddef>
#include <cstdint>

namespace solbus {

// A ROM number is valid when the CRC8 over all its 8 bytes is 0.
uint8_t crc8Update(uint8_t crc, uint8_t byte);
uint8_t crc8(const uint8_t* data, size_t count, uint8_t seed = 0);

// Data followed by its inverted CRC16, low byte first, leaves this residue.
constexpr uint16_t kCrc16Residue = 0xB001;

uint16_t crc16Update(uint16_t crc, uint8_t byte);
uint16_t crc16(const uint8_t* data, size_t count, uint16_t seed = 0);

}  // namespace solbus
