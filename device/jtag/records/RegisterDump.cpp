#include "RegisterDump.h"

namespace zern::records::dump {

void decodeRegisterChunk(Core core, std::span<const uint8_t> reply, int module, RegisterFile& registers)
{
    chip::dump::placeRegisterChunk(core, dataBytes(reply), module, registers);
}

void decodeSpecialRegisters(Core core, std::span<const uint8_t> reply, RegisterFile& registers)
{
    chip::dump::placeSpecialRegisters(core, dataBytes(reply), registers);
}

}  // namespace zern::records::dump
