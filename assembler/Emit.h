#pragma once
// Location counters and the code and data byte writers. Pass 1 only counts;
// pass 2 also feeds the HEX streams.
#include <cstddef>
#include <cstdint>

namespace zernasm {

struct Assembly;

void EmitCodeByte(Assembly& a, uint8_t value);
// Two bytes, low first; refused at an odd byte address.
void EmitCodeWord(Assembly& a, uint16_t word);
void SetCodeAddress(Assembly& a, uint32_t wordAddress);
void EmitDataByte(Assembly& a, uint8_t value);
void EmitDataWord(Assembly& a, uint16_t word);
void SetDataAddress(Assembly& a, uint32_t wordAddress);
// Pads an odd code byte counter with one 0xFF byte.
void AlignCode(Assembly& a);

// Closes the current code range, recording it when it holds code.
void CloseCodeRange(Assembly& a);
// Reports the first overlap of the last recorded range with an earlier one.
void CheckCodeRanges(Assembly& a, size_t count);
// Index of the recorded pass-1 range holding the word address, or -1.
int32_t CodeRangeOf(const Assembly& a, uint32_t wordAddress);

}  // namespace zernasm
