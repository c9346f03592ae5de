#include "Templates.h"

namespace zernasm {

namespace {
constexpr uint32_t kSrc = 0x00FF, kNone = 0x0000;
}

const InstructionTemplate kTemplates[kTemplateRows] = {
    {"AND", kSrc, kNone, 0x7F00, 0x1A00},         {"OR", kSrc, kNone, 0x7F00, 0x2A00},
    {"XOR", kSrc, kNone, 0x7F00, 0x3A00},         {"ADD", kSrc, kNone, 0x7F00, 0x4A00},
    {"SUB", kSrc, kNone, 0x7F00, 0x5A00},         {"ADDC", kSrc, kNone, 0x7F00, 0x6A00},
    {"SUBB", kSrc, kNone, 0x7F00, 0x7A00},        {"JUMP", kSrc, kNone, 0x7F00, 0x0C00},
    {"JUMP Z", kSrc, kNone, 0x7F00, 0x1C00},      {"JUMP E", kSrc, kNone, 0x7F00, 0x3C00},
    {"JUMP C", kSrc, kNone, 0x7F00, 0x2C00},      {"JUMP NZ", kSrc, kNone, 0x7F00, 0x5C00},
    {"JUMP NE", kSrc, kNone, 0x7F00, 0x7C00},     {"JUMP NC", kSrc, kNone, 0x7F00, 0x6C00},
    {"JUMP S", kSrc, kNone, 0x7F00, 0x4C00},      {"DJNZ", kSrc, 0x3000, 0x4F00, 0x4D00},
    {"CALL", kSrc, kNone, 0x7F00, 0x3D00},        {"RET", kNone, 0x7000, 0x8FFF, 0x8C0D},
    {"RETI", kNone, 0x7000, 0x8FFF, 0x8C8D},      {"PUSH", kSrc, kNone, 0x7F00, 0x0D00},
    {"POP", kNone, 0x7F00, 0x80FF, 0x800D},       {"POPI", kNone, 0x7F00, 0x80FF, 0x808D},
    {"CPL", kNone, kNone, 0xFFFF, 0x8A1A},        {"SLA", kNone, kNone, 0xFFFF, 0x8A2A},
    {"SLA2", kNone, kNone, 0xFFFF, 0x8A3A},       {"SLA4", kNone, kNone, 0xFFFF, 0x8A6A},
    {"RL", kNone, kNone, 0xFFFF, 0x8A4A},         {"RLC", kNone, kNone, 0xFFFF, 0x8A5A},
    {"XCH", kNone, kNone, 0xFFFF, 0x8A8A},        {"XCHN", kNone, kNone, 0xFFFF, 0x8A7A},
    {"NEG", kNone, kNone, 0xFFFF, 0x8A9A},        {"SR", kNone, kNone, 0xFFFF, 0x8AAA},
    {"RR", kNone, kNone, 0xFFFF, 0x8ACA},         {"RRC", kNone, kNone, 0xFFFF, 0x8ADA},
    {"SRA", kNone, kNone, 0xFFFF, 0x8AFA},        {"SRA2", kNone, kNone, 0xFFFF, 0x8AEA},
    {"SRA4", kNone, kNone, 0xFFFF, 0x8ABA},       {"MOVE", kSrc, 0x7F00, kNone, 0x0000},
    {"MOVE C, B", 0x00F0, kNone, 0xFF0F, 0xEA0A}, {"MOVE B, C", 0x00F0, kNone, 0xFF0F, 0xFA0A},
    {"MOVE C, #0", kNone, kNone, 0xFFFF, 0xDA0A}, {"MOVE C, #1", kNone, kNone, 0xFFFF, 0xDA1A},
    {"MOVE C, ~C", kNone, kNone, 0xFFFF, 0xDA2A}, {"CMP", kSrc, kNone, 0x7F00, 0x7800},
    {"PFX", kSrc, 0x7000, 0x0F00, 0x0B00},        {"NOP", kNone, kNone, 0xFFFF, 0xDA3A},
    {"MB1", kNone, kNone, 0xFFFF, 0xCA0A},        {"MB2", kNone, kNone, 0xFFFF, 0xCA1A},
    {"MB3", kNone, kNone, 0xFFFF, 0xCA2A},        {"MB4", kNone, kNone, 0xFFFF, 0xCA3A},
    {"MW1", kNone, kNone, 0xFFFF, 0xCA4A},        {"MW2", kNone, kNone, 0xFFFF, 0xCA5A},
    {"SEB", kNone, kNone, 0xFFFF, 0xCA6A},        {"SEW", kNone, kNone, 0xFFFF, 0xCA7A},
    {"XCHW", kNone, kNone, 0xFFFF, 0xCA8A},       {"XCHE", kNone, kNone, 0xFFFF, 0xCA9A},
    {"BIC", kSrc, kNone, 0x7F00, 0x0A00},         {"CLZ", kSrc, kNone, 0x7F00, 0x1A00},
    {"MLB1", kSrc, kNone, 0x7F00, 0x2A00},        {"MLB2", kSrc, kNone, 0x7F00, 0x3A00},
    {"MLB3", kSrc, kNone, 0x7F00, 0x4A00},        {"MLB4", kSrc, kNone, 0x7F00, 0x5A00},
    {"MLW1", kSrc, kNone, 0x7F00, 0x6A00},        {"MLW2", kSrc, kNone, 0x7F00, 0x7A00},
};

int32_t FirstBrokenTemplate(const InstructionTemplate* table, int32_t rows, uint32_t* mask)
{
    for (int32_t row = 0; row < rows; ++row) {
        const uint32_t covered = table[row].sourceMask | table[row].destinationMask | table[row].fixedMask;
        if ((covered & 0x7FFF) != 0x7FFF) {
            *mask = covered;
            return row;
        }
    }
    return -1;
}

}  // namespace zernasm
