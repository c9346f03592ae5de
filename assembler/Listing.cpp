#include "Listing.h"

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

// "%8d: %04X: %02X%02X  " (six address digits on ZERNC) without printf, since
// every listed word goes through here.
void WriteCodeLinePrefix(const Assembly& a, uint32_t address, uint32_t word)
{
    static const char kDigits[] = "0123456789ABCDEF";
    char text[40];
    const int written = snprintf(text, sizeof text, "%8d: ", a.line);
    size_t at = written > 0 ? static_cast<size_t>(written) : 0;
    for (int shift = IsZernC(a) ? 20 : 12; shift >= 0; shift -= 4)
        text[at++] = kDigits[(address >> shift) & 15];
    text[at++] = ':';
    text[at++] = ' ';
    for (int shift = 12; shift >= 0; shift -= 4)
        text[at++] = kDigits[(word >> shift) & 15];
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
        fprintf(file, "%8d:             ", a.line);
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
    FILE* file = a.listingFile;
    std::vector<uint8_t>& bytes = a.output.dataBytes;
    const bool wide = IsZernC(a);
    if (wide && a.dataSegment)
        address *= 2;
    fprintf(file, wide ? "%8d: %06X: " : "%8d: %04X: ", a.line, address);
    const std::string indent(wide ? 18 : 16, ' ');
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i >= 2 && i % 2 == 0) {
            Write(a, "\n");
            Write(a, indent);
        }
        fprintf(file, "%02X", bytes[i]);
        if (i == 1) {
            Write(a, "  ");
            Write(a, text);
        }
    }
    if (bytes.size() % 2 == 1)
        Write(a, "  ");
    if (bytes.size() < 2) {
        Write(a, "  ");
        Write(a, text);
    }
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
