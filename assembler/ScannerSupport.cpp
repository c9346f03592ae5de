#include "ScannerSupport.h"

#include <cctype>

namespace zernasm {

int32_t NumberValue(std::string_view text)
{
    if (text.size() >= 80)
        return -1;
    if (text.empty())
        return 0;
    const char last = static_cast<char>(toupper(static_cast<unsigned char>(text.back())));
    const uint32_t base = last == 'B' ? 2 : last == 'H' ? 16 : 10;
    uint64_t value = 0;
    for (const char c : text) {
        const int upper = toupper(static_cast<unsigned char>(c));
        uint32_t digit;
        if (upper >= '0' && upper <= '9') {
            digit = static_cast<uint32_t>(upper - '0');
        } else if (upper >= 'A' && upper <= 'F') {
            digit = static_cast<uint32_t>(upper - 'A' + 10);
        } else {
            break;
        }
        if (digit >= base)
            break;
        value = value * base + digit;
        if (value > 0xFFFFFFFFu)
            value = 0xFFFFFFFFu;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

int32_t BracketIndex(std::string_view text)
{
    const size_t open = text.find('[');
    if (open == std::string_view::npos)
        return -1;
    const size_t close = text.find(']', open + 1);
    if (close == std::string_view::npos)
        return -1;
    return NumberValue(text.substr(open + 1, close - open - 1));
}

}  // namespace zernasm
