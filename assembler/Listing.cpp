#include "Listing.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "Assembly.h"
#include "BuildStamp.h"

namespace zernasm {

namespace {

const char* CoreName(Assembly& a)
{
    switch (a.options.core) {
    case Core::ZernB:
        return "ZERNB";
    case Core::ZernC:
        return "ZERNC";
    default:
        return "ZERNA";
    }
}

void Write(Assembly& a, const std::string& text)
{
    fwrite(text.data(), 1, text.size(), a.listingFile);
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// printf's "%8d": right-aligned in eight places, wider when it must be.
size_t PutLineNumber(char* out, int32_t number)
{
    char digits[12];
    size_t count = 0;
    uint32_t magnitude = number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0)
        digits[count++] = '-';
    size_t at = 0;
    for (size_t pad = count; pad < 8; ++pad)
        out[at++] = ' ';
    while (count > 0)
        out[at++] = digits[--count];
    return at;
}

// printf's "%0*X" with `width` digits at the least.
size_t PutHex(char* out, uint32_t value, int width)
{
    int digits = 1;
    while (digits < 8 && (value >> (4 * digits)) != 0)
        ++digits;
    digits = std::max(digits, width);
    for (int i = digits - 1; i >= 0; --i)
        *out++ = kHexDigits[(value >> (4 * i)) & 15];
    return static_cast<size_t>(digits);
}

// "%8d: %04X: %02X%02X  " (six address digits on ZERNC), every listed word's
// line; a wider address keeps all its digits.
void WriteCodeLinePrefix(const Assembly& a, uint32_t address, uint32_t word)
{
    char text[40];
    size_t at = PutLineNumber(text, a.line);
    text[at++] = ':';
    text[at++] = ' ';
    at += PutHex(text + at, address, IsZernC(a) ? 6 : 4);
    text[at++] = ':';
    text[at++] = ' ';
    at += PutHex(text + at, word, 4);
    text[at++] = ' ';
    text[at++] = ' ';
    fwrite(text, 1, at, a.listingFile);
}

}  // namespace

std::string LocalTimeText()
{
    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    char text[64];
    strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y\n", &local);
    return text;
}

void WriteListingHeader(Assembly& a, int argc, const char* const* argv, const std::string& localTime)
{
    FILE* file = a.listingFile;
    const std::string border = "+" + std::string(63, '-') + "+\n";
    Write(a, border);
    fprintf(file, "|%s|\n", kTitleLine);
    Write(a, border);
    fprintf(file, "Last build %s at %s\n\n", kBuildDate, kBuildTime);
    Write(a, "Command line: ");
    for (int i = 1; i < argc; ++i) {
        Write(a, argv[i]);
        Write(a, " ");
    }
    Write(a, "\n");
    Write(a, "Assembling ");
    Write(a, a.inputPath);
    fprintf(file, " for %s,using %d accumulators, ", CoreName(a), a.options.accumulators);
    Write(a, localTime);
    Write(a, "\n");
    Write(a, "    Line: Addr: Opcode\n");
    Write(a, "======================\n");
}

void WriteListingLine(Assembly& a, uint32_t wordAddress, int32_t code, const std::string& text)
{
    FILE* file = a.listingFile;
    if (!file)
        return;
    if (code == kNothingListed) {
        char head[24];
        size_t at = PutLineNumber(head, a.line);
        memcpy(head + at, ":             ", 14);
        fwrite(head, 1, at + 14, file);
    } else if (code == kListedByData) {
        fprintf(file, "\n%16c", '.');
        a.output.listingState = kNothingListed;
    } else {
        WriteCodeLinePrefix(a, wordAddress, static_cast<uint32_t>(code) & 0xFFFF);
    }
    Write(a, text);
}

void WriteDataListingLine(Assembly& a, uint32_t address, const std::string& text)
{
    std::vector<uint8_t>& bytes = a.output.dataBytes;
    const bool wide = IsZernC(a);
    if (wide && a.dataSegment)
        address *= 2;
    // The head, then the bytes two to a line below each other.
    std::string entry(40, ' ');
    size_t at = PutLineNumber(entry.data(), a.line);
    entry[at++] = ':';
    entry[at++] = ' ';
    at += PutHex(entry.data() + at, address, wide ? 6 : 4);
    entry[at++] = ':';
    entry[at++] = ' ';
    entry.resize(at);
    const size_t indent = wide ? 18 : 16;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i >= 2 && i % 2 == 0) {
            entry += '\n';
            entry.append(indent, ' ');
        }
        entry += kHexDigits[bytes[i] >> 4];
        entry += kHexDigits[bytes[i] & 15];
        if (i == 1) {
            entry += "  ";
            entry += text;
        }
    }
    if (bytes.size() % 2 == 1)
        entry += "  ";
    if (bytes.size() < 2) {
        entry += "  ";
        entry += text;
    }
    Write(a, entry);
    Write(a, "  \n");
    bytes.clear();
    a.output.listingState = kListedByData;
}

void TakeBackListingText(Assembly& a, size_t length)
{
    if (CollectingListingText(a) && a.listingText.size() >= length)
        a.listingText.resize(a.listingText.size() - length);
}

}  // namespace zernasm
