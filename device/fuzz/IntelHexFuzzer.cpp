// libFuzzer target: any text through the Intel HEX reader.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "IntelHex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> image(0x1000, 0xFF);
    std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
    const zern::HexReadResult result = zern::readIntelHex(text, image);
    if (result.ok && result.highest >= image.size())
        __builtin_trap();
    return 0;
}
