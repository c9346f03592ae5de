#include "Instruction.h"

namespace zern::chipmodel {
namespace {

constexpr uint16_t kPrefix = 0x0B00;
constexpr uint16_t kJump = 0x0C00;
constexpr uint16_t kCall = 0x3D00;
constexpr uint16_t kOpcodeMask = 0xFF00;
// RET and RETI differ only in bit 7; bits 12-14 would make them conditional.
constexpr uint16_t kReturn = 0x8C0D;
constexpr uint16_t kReturnMask = 0xFF7F;
constexpr int kMaxPrefixWords = 2;

}  // namespace

Instruction decodeInstruction(uint32_t pc, const std::function<uint16_t(uint32_t)>& wordAt)
{
    Instruction instruction;
    uint32_t prefix = 0;
    int prefixWords = 0;
    uint16_t word = wordAt(pc);
    while ((word & kOpcodeMask) == kPrefix && prefixWords < kMaxPrefixWords) {
        prefix = (prefix << 8) | (word & 0xFF);
        ++prefixWords;
        word = wordAt(pc + static_cast<uint32_t>(prefixWords));
    }
    const uint16_t opcode = word & kOpcodeMask;
    if (opcode != kJump && opcode != kCall) {
        // A prefix before anything else is a word of its own.
        if (prefixWords == 0 && (word & kReturnMask) == kReturn)
            instruction.flow = Flow::Return;
        return instruction;
    }
    instruction.flow = opcode == kCall ? Flow::Call : Flow::Jump;
    instruction.length = static_cast<uint32_t>(prefixWords) + 1;
    const uint32_t next = pc + instruction.length;
    if (prefixWords == 0)
        instruction.target = next + static_cast<uint32_t>(static_cast<int8_t>(word & 0xFF));
    else
        instruction.target = (prefix << 8) | (word & 0xFF);
    return instruction;
}

}  // namespace zern::chipmodel
