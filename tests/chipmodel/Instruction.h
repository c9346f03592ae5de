#pragma once

#include <cstdint>
#include <functional>

namespace zern::chipmodel {

// What one instruction does to the flow of control, decoded from the code
// words as the assembler lays them out for the 16-bit-word ZERNA encoding:
//   - prefix words 0x0Bhh (up to two) supply the upper bytes of an absolute
//     target for the word that follows them;
//   - 0x0Cdd JUMP and 0x3Ddd CALL with a source byte: without a prefix the
//     byte is a signed displacement from the next word, with one it is the
//     low byte of the absolute target;
//   - 0x8C0D RET and 0x8C8D RETI return to the address on top of the stack;
//   - any other word (conditional forms, register targets, erased 0xFFFF)
//     just moves on.
enum class Flow { Next, Jump, Call, Return };

struct Instruction {
    Flow flow = Flow::Next;
    uint32_t length = 1;  // words, prefix words included
    uint32_t target = 0;  // word address for Jump and Call
};

// `wordAt` reads the code word at a word address.
Instruction decodeInstruction(uint32_t pc, const std::function<uint16_t(uint32_t)>& wordAt);

}  // namespace zern::chipmodel
