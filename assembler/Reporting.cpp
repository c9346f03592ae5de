#include "Reporting.h"

#include <cstdarg>
#include <cstdio>

#include "Assembly.h"
#include "Listing.h"

namespace zernasm {

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

void ReportError(Assembly& a, const std::string& message)
{
    if (a.trial)
        throw TrialFailed{};
    if (a.pass == 1)
        a.log.NotRepeatable();
    fflush(a.console.out);
    LineOutput& output = a.output;
    output.errorReported = true;
    std::string text = a.inputPath;
    text += Format(": Line %d\nError: ", a.line);
    text += message;
    text += "\n  Last token read was \"";
    // A NUL in the token would cut the text where it is printed: it is left out.
    for (const char c : a.lastTokenText) {
        if (c != '\0')
            text += c;
    }
    text += "\"\n\n";
    output.errorText = text;
    ++a.errors;
    if (a.errors > 3)
        throw RunAborted{1};
    if (a.pass == 1) {
        fputs(text.c_str(), a.console.err);
        a.exitStatus = a.line;
    } else {
        a.exitStatus = 1;
        fputs(text.c_str(), a.console.err);
        if (a.options.listing && a.listingFile) {
            WriteListingLine(a, CodeWordAddress(a), output.listingState, a.listingText);
            fputc('\n', a.listingFile);
            fputs(text.c_str(), a.listingFile);
        }
    }
}

void ReportWarning(Assembly& a, const std::string& message)
{
    if (a.trial)
        throw TrialFailed{};
    if (a.pass != 2) {
        // Pass 2 will warn here: it parses the line to do so in its place.
        a.log.NotRepeatable();
        return;
    }
    if (!(a.options.quiet && a.options.listing)) {
        fputs("\n", a.console.out);
        fputs(a.inputPath.c_str(), a.console.out);
        fputs(":\nWarning: ", a.console.out);
        fputs(message.c_str(), a.console.out);
        fprintf(a.console.out, " on line %d\n", a.line);
    }
    if (a.options.listing && a.listingFile) {
        fputs("Warning : vvvv: ", a.listingFile);
        fputs(message.c_str(), a.listingFile);
        fputc('\n', a.listingFile);
    }
    ++a.warnings;
}

void ApplyIndexRule(Assembly& a, bool isSource, int32_t index)
{
    Statement& s = a.statement;
    if (index < 0 || index > 31)
        ReportError(a, Format("Illegal Index %d Detected", index));
    const uint32_t bits = static_cast<uint32_t>(index);
    if (a.grammarTrace) {
        fprintf(a.console.err,
                "{IsSource: %d; PrefixIndex: 0x%02x; PerformPrefix: %d; PrefixThePrefix: %d; Index: 0x%02x}\n",
                isSource ? 1 : 0, static_cast<unsigned>(s.prefixIndex), s.performPrefix ? 1 : 0,
                a.prefixThePrefix ? 1 : 0, bits);
    }
    if (isSource) {
        if (bits > 15) {
            s.performPrefix = true;
            s.prefixIndex = static_cast<int8_t>(s.prefixIndex | 1);
        }
    } else if (bits >= 8) {
        s.performPrefix = true;
        s.prefixIndex = static_cast<int8_t>(s.prefixIndex | ((bits >> 2) & 6));
    }
    if (a.grammarTrace) {
        fprintf(a.console.err, "{IsSource: %d; PrefixIndex: 0x%02x; PerformPrefix: %d; PrefixThePrefix: %d}\n\n",
                isSource ? 1 : 0, static_cast<unsigned>(s.prefixIndex), s.performPrefix ? 1 : 0,
                a.prefixThePrefix ? 1 : 0);
    }
}

}  // namespace zernasm
