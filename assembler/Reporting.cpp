#include "Reporting.h"

#include <cstdarg>
#include <cstdio>

#include "AsmState.h"
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

void ReportError(const std::string& message)
{
    fflush(g_run.console.out);
    StatementState& statement = g_run.statement;
    statement.errorReported = true;
    std::string text = g_run.inputPath;
    text += Format(": Line %d\nError: ", g_run.line);
    text += message;
    text += "\n  Last token read was \"";
    text += g_run.lastTokenText;
    text += "\"\n\n";
    statement.errorText = text;
    ++g_run.errors;
    if (g_run.errors > 3)
        throw RunAborted{1};
    if (g_run.pass == 1) {
        fputs(text.c_str(), g_run.console.err);
        g_run.exitStatus = g_run.line;
    } else {
        g_run.exitStatus = 1;
        fputs(text.c_str(), g_run.console.err);
        if (g_run.options.listing && g_run.listingFile) {
            WriteListingLine(CodeWordAddress(), statement.listingState, g_run.listingText);
            fputc('\n', g_run.listingFile);
            fputs(text.c_str(), g_run.listingFile);
        }
    }
}

void ReportWarning(const std::string& message)
{
    if (g_run.pass != 2)
        return;
    if (!(g_run.options.quiet && g_run.options.listing)) {
        fputs("\n", g_run.console.out);
        fputs(g_run.inputPath.c_str(), g_run.console.out);
        fputs(":\nWarning: ", g_run.console.out);
        fputs(message.c_str(), g_run.console.out);
        fprintf(g_run.console.out, " on line %d\n", g_run.line);
    }
    if (g_run.options.listing && g_run.listingFile) {
        fputs("Warning : vvvv: ", g_run.listingFile);
        fputs(message.c_str(), g_run.listingFile);
        fputc('\n', g_run.listingFile);
    }
    ++g_run.warnings;
}

void ApplyIndexRule(bool isSource, int32_t index)
{
    StatementState& s = g_run.statement;
    if (index < 0 || index > 31)
        ReportError(Format("Illegal Index %d Detected", index));
    const uint32_t bits = static_cast<uint32_t>(index);
    if (g_run.grammarTrace) {
        fprintf(g_run.console.err,
                "{IsSource: %d; PrefixIndex: 0x%02x; PerformPrefix: %d; PrefixThePrefix: %d; Index: 0x%02x}\n",
                isSource ? 1 : 0, static_cast<unsigned>(s.prefixIndex), s.performPrefix ? 1 : 0,
                g_run.prefixThePrefix ? 1 : 0, bits);
    }
    if (isSource) {
        if (bits > 15) {
            s.performPrefix = true;
            s.prefixIndex |= 1;
        }
    } else if (bits >= 8) {
        s.performPrefix = true;
        s.prefixIndex |= static_cast<int32_t>((bits >> 2) & 6);
    }
    if (g_run.grammarTrace) {
        fprintf(g_run.console.err, "{IsSource: %d; PrefixIndex: 0x%02x; PerformPrefix: %d; PrefixThePrefix: %d}\n\n",
                isSource ? 1 : 0, static_cast<unsigned>(s.prefixIndex), s.performPrefix ? 1 : 0,
                g_run.prefixThePrefix ? 1 : 0);
    }
}

}  // namespace zernasm
