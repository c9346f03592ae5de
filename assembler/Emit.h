#pragma once
// Location counters and the code and data byte writers. Pass 1 only counts;
// pass 2 also feeds the HEX streams.
#include <cstddef>
#include <cstdint>

namespace zernasm {

void EmitCodeByte(uint8_t value);
// Two bytes, low first; refused at an odd byte address.
void EmitCodeWord(uint16_t word);
void SetCodeAddress(uint32_t wordAddress);
void EmitDataByte(uint8_t value);
void EmitDataWord(uint16_t word);
void SetDataAddress(uint32_t wordAddress);
// Pads an odd code byte counter with one 0xFF byte.
void AlignCode();

// Closes the current code range, recording it when it holds code.
void CloseCodeRange();
// Reports the first overlap of the last recorded range with an earlier one.
void CheckCodeRanges(size_t count);
// Index of the recorded pass-1 range holding the word address, or -1.
int32_t CodeRangeOf(uint32_t wordAddress);

}  // namespace zernasm
