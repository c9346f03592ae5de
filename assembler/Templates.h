#pragma once
// The instruction template table: which bits of a code word each operand fills.
#include <cstdint>

namespace zernasm {

struct InstructionTemplate {
    const char* name;
    uint32_t sourceMask;
    uint32_t destinationMask;
    uint32_t fixedMask;
    uint32_t opcode;
};

enum TemplateRow : int32_t {
    kRowAnd,
    kRowOr,
    kRowXor,
    kRowAdd,
    kRowSub,
    kRowAddc,
    kRowSubb,
    kRowJump,
    kRowJumpZ,
    kRowJumpE,
    kRowJumpC,
    kRowJumpNz,
    kRowJumpNe,
    kRowJumpNc,
    kRowJumpS,
    kRowDjnz,
    kRowCall,
    kRowRet,
    kRowReti,
    kRowPush,
    kRowPop,
    kRowPopi,
    kRowCpl,
    kRowSla,
    kRowSla2,
    kRowSla4,
    kRowRl,
    kRowRlc,
    kRowXch,
    kRowXchn,
    kRowNeg,
    kRowSr,
    kRowRr,
    kRowRrc,
    kRowSra,
    kRowSra2,
    kRowSra4,
    kRowMove,
    kRowMoveCarryFromBit,
    kRowMoveBitFromCarry,
    kRowMoveCarry0,
    kRowMoveCarry1,
    kRowComplementCarry,
    kRowCmp,
    kRowPfx,
    kRowNop,
    kRowMb1,
    kRowMb2,
    kRowMb3,
    kRowMb4,
    kRowMw1,
    kRowMw2,
    kRowSeb,
    kRowSew,
    kRowXchw,
    kRowXche,
    kRowBic,
    kRowClz,
    kRowMlb1,
    kRowMlb2,
    kRowMlb3,
    kRowMlb4,
    kRowMlw1,
    kRowMlw2,
    kTemplateRows
};

extern const InstructionTemplate kTemplates[kTemplateRows];

// The masks of every row must cover bits 0 to 14; returns the first row that
// does not, or -1. `mask` receives that row's OR of the three masks.
int32_t FirstBrokenTemplate(const InstructionTemplate* table, int32_t rows, uint32_t* mask);

}  // namespace zernasm
