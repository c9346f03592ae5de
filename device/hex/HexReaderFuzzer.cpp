// Feeds arbitrary text to the HEX reader: it must end with a result, never a
// crash, a hang or a write outside the image.
#include <sstream>
#include <vector>

#include "IntelHexReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<uint8_t> image(0x400, 0xFF);
    const zern::hex::HexReadResult result = zern::hex::readIntelHex(in, "fuzz.hex", image);
    if (result.ok && result.highest >= image.size())
        __builtin_trap();
    return 0;
}
