#include "ConfigNumbers.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "DeviceConfig.h"

namespace zern {
namespace {

int32_t clamped(long long value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

std::string trimmed(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool parseConfigInt(const std::string& text, int32_t& value)
{
    const std::string number = trimmed(text);
    size_t at = 0;
    bool negative = false;
    if (at < number.size() && (number[at] == '-' || number[at] == '+'))
        negative = number[at++] == '-';
    int base = 10;
    if (number.size() > at + 1 && number[at] == '0' && (number[at + 1] == 'x' || number[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    if (at >= number.size())
        return false;
    long long result = 0;
    for (; at < number.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(number[at]);
        int digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = std::tolower(c) - 'a' + 10;
        else
            return false;
        result = result * base + digit;
        // Hexadecimal may name the full 32-bit pattern (0xFFFFFFFF).
        if (result > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL))
            return false;
    }
    if (negative)
        result = -result;
    if (base == 16 && !negative)
        result = static_cast<int32_t>(static_cast<uint32_t>(result));
    if (result > INT32_MAX || result < INT32_MIN)
        return false;
    value = static_cast<int32_t>(result);
    return true;
}

int32_t parseConfigNum(const std::string& text)
{
    const std::string number = trimmed(text);
    errno = 0;
    const long long value = std::strtoll(number.c_str(), nullptr, 0);
    return clamped(value);
}

int32_t parseConfigDec(const std::string& text)
{
    const std::string number = trimmed(text);
    size_t at = 0;
    bool negative = false;
    if (at < number.size() && (number[at] == '-' || number[at] == '+'))
        negative = number[at++] == '-';
    long long value = 0;
    for (; at < number.size() && std::isdigit(static_cast<unsigned char>(number[at])); ++at)
        value = std::min<long long>(value * 10 + (number[at] - '0'), 1LL << 40);
    return clamped(negative ? -value : value);
}

bool validJtagClock(int32_t kHz)
{
    return kHz >= 1 && kHz <= kMaxJtagClockKHz;
}

}  // namespace zern
