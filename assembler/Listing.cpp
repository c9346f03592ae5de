#include "Listing.h"

#include <ctime>

#include "AsmState.h"
#include "BuildStamp.h"

namespace zernasm {

namespace {

const char* CoreName()
{
    switch (g_run.options.core) {
    case Core::ZernB:
        return "ZERNB";
    case Core::ZernC:
        return "ZERNC";
    default:
        return "ZERNA";
    }
}

void Write(const std::string& text)
{
    fwrite(text.data(), 1, text.size(), g_run.listingFile);
}

// "%8d: %04X: %02X%02X  " (six address digits on ZERNC) without printf, since
// every listed word goes through here.
void WriteCodeLinePrefix(FILE* file, int32_t line, uint32_t address, uint32_t word)
{
    static const char kDigits[] = "0123456789ABCDEF";
    char text[40];
    const int written = snprintf(text, sizeof text, "%8d: ", line);
    size_t at = written > 0 ? static_cast<size_t>(written) : 0;
    for (int shift = IsZernC() ? 20 : 12; shift >= 0; shift -= 4)
        text[at++] = kDigits[(address >> shift) & 15];
    text[at++] = ':';
    text[at++] = ' ';
    for (int shift = 12; shift >= 0; shift -= 4)
        text[at++] = kDigits[(word >> shift) & 15];
    text[at++] = ' ';
    text[at++] = ' ';
    fwrite(text, 1, at, file);
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

void WriteListingHeader(int argc, const char* const* argv, const std::string& localTime)
{
    FILE* file = g_run.listingFile;
    const std::string border = "+" + std::string(63, '-') + "+\n";
    Write(border);
    fprintf(file, "|%s|\n", kTitleLine);
    Write(border);
    fprintf(file, "Last build %s at %s\n\n", kBuildDate, kBuildTime);
    Write("Command line: ");
    for (int i = 1; i < argc; ++i) {
        Write(argv[i]);
        Write(" ");
    }
    Write("\n");
    Write("Assembling ");
    Write(g_run.inputPath);
    fprintf(file, " for %s,using %d accumulators, ", CoreName(), g_run.options.accumulators);
    Write(localTime);
    Write("\n");
    Write("    Line: Addr: Opcode\n");
    Write("======================\n");
}

void WriteListingLine(uint32_t wordAddress, int32_t code, const std::string& text)
{
    FILE* file = g_run.listingFile;
    if (!file)
        return;
    if (code == kNothingListed) {
        fprintf(file, "%8d:             ", g_run.line);
    } else if (code == kListedByData) {
        fprintf(file, "\n%16c", '.');
        g_run.statement.listingState = kNothingListed;
    } else {
        WriteCodeLinePrefix(file, g_run.line, wordAddress, static_cast<uint32_t>(code) & 0xFFFF);
    }
    Write(text);
}

void WriteDataListingLine(uint32_t address, const std::string& text)
{
    FILE* file = g_run.listingFile;
    std::vector<uint8_t>& bytes = g_run.statement.dataBytes;
    const bool wide = IsZernC();
    if (wide && g_run.dataSegment)
        address *= 2;
    fprintf(file, wide ? "%8d: %06X: " : "%8d: %04X: ", g_run.line, address);
    const std::string indent(wide ? 18 : 16, ' ');
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i >= 2 && i % 2 == 0) {
            Write("\n");
            Write(indent);
        }
        fprintf(file, "%02X", bytes[i]);
        if (i == 1) {
            Write("  ");
            Write(text);
        }
    }
    if (bytes.size() % 2 == 1)
        Write("  ");
    if (bytes.size() < 2) {
        Write("  ");
        Write(text);
    }
    Write("  \n");
    bytes.clear();
    g_run.statement.listingState = kListedByData;
}

}  // namespace zernasm
