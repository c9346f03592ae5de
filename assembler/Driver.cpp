#include "Driver.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <sys/stat.h>

#include "Assembly.h"
#include "Banner.h"
#include "CommandLine.h"
#include "Emit.h"
#include "Expressions.h"
#include "Listing.h"
#include "ParserTrace.h"
#include "Relaxation.h"
#include "Replay.h"
#include "Reporting.h"
#include "ScannerSupport.h"
#include "Symbols.h"
#include "Templates.h"
#include "TokenCodes.h"

extern int yydebug;

namespace zernasm {

namespace {

constexpr size_t kCodeBufferSize = 32 * 1024;
constexpr size_t kListingBufferSize = 64 * 1024;
constexpr size_t kReservedLines = size_t{1} << 22;

struct OutputNames {
    std::string codeTemp, dataTemp, programHex, dataHex, listing;
};

OutputNames NamesFor(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return {name + ".tmp", name + "_d.tmp", name + ".hex", name + "_d.hex", name + ".lst"};
}

bool SameFile(const struct stat& input, const std::string& name)
{
    struct stat other {};
    return stat(name.c_str(), &other) == 0 && other.st_dev == input.st_dev && other.st_ino == input.st_ino;
}

const char* RenameErrorText(int error, char* buffer, size_t size)
{
    switch (error) {
    case EPERM:
        return "Error EPERM returned";
    case ENOENT:
        return "Error ENOENT returned";
    case ENOMEM:
        return "Error ENOMEM returned";
    case EACCES:
        return "Error EACCESS returned";
    case EFAULT:
        return "Error EFAULT returned";
    case EEXIST:
        return "Error EEXIST returned";
    case EXDEV:
        return "Error EXDEV returned";
    case ENOTDIR:
        return "Error ENOTDIR returned";
    case EISDIR:
        return "Error EISDIR returned";
    case ENOSPC:
        return "Error ENOSPC returned";
    case EROFS:
        return "Error EROFS returned";
    case ENAMETOOLONG:
        return "Error ENAMETOOLONG returned";
    case ENOTEMPTY:
        return "Error ENOTEMPTY returned";
    default:
        snprintf(buffer, size, "Error %d returned", -1);
        return buffer;
    }
}

bool RenameOutput(Assembly& a, const std::string& from, const std::string& to)
{
    if (rename(from.c_str(), to.c_str()) == 0)
        return true;
    const int error = errno;
    char buffer[32];
    fprintf(a.console.err, "Error!  Failed to rename output file\n  %s to %s\n", from.c_str(), to.c_str());
    fprintf(a.console.out, "ERROR: %s\n", RenameErrorText(error, buffer, sizeof buffer));
    return false;
}

// Closes an output and says whether everything written reached the file.
bool CloseOutput(FILE*& file)
{
    if (!file)
        return true;
    const bool written = fflush(file) == 0 && !ferror(file);
    const bool closed = fclose(file) == 0;
    file = nullptr;
    return written && closed;
}

void ReportWriteFailure(Assembly& a, const std::string& name)
{
    fprintf(a.console.err, "Error! Unable to write the output file \"%s\"!\n", name.c_str());
    ++a.errors;
}

void FinishOutputs(Assembly& a, const OutputNames& names)
{
    long dataSize = 0;
    if (a.dataFile) {
        fflush(a.dataFile);
        dataSize = ftell(a.dataFile);
    }
    if (a.pass == 2) {
        if (a.codeFile)
            a.codeStream.End();
        if (a.dataFile)
            a.dataStream.End();
    }
    if (a.input)
        fclose(a.input);
    a.input = nullptr;
    if (!CloseOutput(a.codeFile))
        ReportWriteFailure(a, names.codeTemp);
    if (!CloseOutput(a.dataFile))
        ReportWriteFailure(a, names.dataTemp);
    if (!CloseOutput(a.listingFile))
        ReportWriteFailure(a, names.listing);
    if (a.errors > 0) {
        remove(names.codeTemp.c_str());
        remove(names.dataTemp.c_str());
        return;
    }
    if (!RenameOutput(a, names.codeTemp, names.programHex))
        ++a.errors;
    if (dataSize <= 0) {
        remove(names.dataTemp.c_str());
    } else if (!RenameOutput(a, names.dataTemp, names.dataHex)) {
        ++a.errors;
    }
}

void StartPass(Assembly& a)
{
    a.line = 1;
    if (a.pass == 0) {
        if (!ReadSource(a.input, a.source))
            throw RunAborted{2, "input in flex scanner failed"};
        // Room for every line of a source of ordinary size, so that keeping
        // them copies nothing; larger ones grow as they go.
        size_t lines = 1;
        const char* end = a.source.data() + a.source.size();
        for (const char* at = a.source.data(); (at = static_cast<const char*>(memchr(at, '\n', end - at))); ++at)
            ++lines;
        lines = std::min(lines, kReservedLines);
        a.log.Reserve(lines);
        a.expressions.Reserve(lines);
    }
    RestartScanner(a);
    ++a.pass;
    a.rangeCount = 0;
    a.codeBytes = 0;
    a.dataBytes = 0;
    a.rangeStart = 0;
    a.endOfInput = false;
    a.listingText.clear();
    a.scannerTrace = false;
    a.grammarTrace = false;
    ClearLine(a);
    a.prefixThePrefix = false;
    ClearExpressionStack(a);
    if (!a.options.quiet)
        fprintf(a.console.err, "\n\nStarting pass %d ...\n", a.pass);
}

// Parses line by line until the input ends or a line fails; returns the last result.
int ParsePass(Assembly& a)
{
    StartPass(a);
    Replay replay(a);
    int result = 0;
    do {
        if (replay.Next())
            continue;
        if (a.pass == 1)
            a.log.BeginLine(a.scanOffset);
        // The parser's own trace switch is the generated parser's global.
        yydebug = a.grammarTrace ? 1 : 0;
        if (a.grammarTrace)
            BeginParserTrace(a.console.err);
        result = a.grammarTrace ? yyparse(a) : ParseLineWithoutTrace(a);
    } while (result == 0 && !a.endOfInput);
    CloseCodeRange(a);
    return result;
}

void WriteClosing(Assembly& a, const char* text)
{
    if (a.options.listing && a.listingFile)
        fputs(text, a.listingFile);
}

int32_t Assemble(Assembly& a, const OutputNames& names)
{
    const int pass1 = ParsePass(a);
    if (pass1 != 0)
        ReportError(a, "Parse failed");
    a.undefinedAfterPass1 = !Relax(a);
    const int pass2 = ParsePass(a);
    CheckCodeRanges(a, a.rangeCount);

    const bool succeeded = pass2 == 0 && a.exitStatus == 0;
    bool rangesMoved = false;
    for (size_t i = 0; i < a.rangeCount; ++i) {
        rangesMoved = rangesMoved || a.ranges[i].endPass1 != a.ranges[i].endPass2;
    }
    if (rangesMoved && a.undefinedAfterPass1) {
        fputs("Assembler Error! Parse failed! Possible forward reference assigned to DP[i]\n", a.console.err);
        WriteClosing(a, "\nAssembler Error! Parse failed! Possible forward reference assigned to DP[i]\n");
        a.exitStatus = -1;
        ++a.errors;
    } else if (succeeded) {
        if (!a.options.quiet)
            fputs("Parser terminated successfully.\n", a.console.err);
        if (a.options.listing && a.listingFile) {
            if (a.warnings == 0) {
                fputs("\nParser terminated successfully.\n", a.listingFile);
            } else {
                fprintf(a.listingFile, "\nParser terminated with %d warnings.\n", a.warnings);
            }
        }
        if (a.warnings > 0)
            fputs("Warnings encountered.\n", a.console.err);
    } else {
        fputs("Error! Parse failed!\n", a.console.err);
        WriteClosing(a, "\nError! Parse failed!\n");
    }
    FinishOutputs(a, names);
    return a.exitStatus;
}

// Opens the input and creates the outputs; returns an exit status, or 0 when ready.
int32_t OpenFiles(Assembly& a, const OutputNames& names, int argc, const char* const* argv)
{
    const std::string& input = a.inputPath;
    struct stat inputInfo {};
    if (stat(input.c_str(), &inputInfo) != 0 || !S_ISREG(inputInfo.st_mode) || !(a.input = fopen(input.c_str(), "r"))) {
        fprintf(a.console.err, "Error! Unable to open the input file \"%s\"!\n", input.c_str());
        return 4;
    }
    // An output that is the source itself would be deleted before it is read.
    const struct {
        const std::string& name;
        const char* message;
        int32_t status;
    } outputs[] = {{names.programHex, "Error! Unable to open the output file \"%s\"!\n", 5},
                   {names.codeTemp, "Error! Unable to open the output file \"%s\"!\n", 5},
                   {names.dataHex, "Error! Unable to open the output file \"%s\"!\n", 6},
                   {names.dataTemp, "Error! Unable to open the output file \"%s\"!\n", 6},
                   {names.listing, "Error! Unable to open the list file \"%s\"!\n", 7}};
    for (const auto& output : outputs) {
        if (SameFile(inputInfo, output.name)) {
            fprintf(a.console.err, output.message, output.name.c_str());
            fclose(a.input);
            a.input = nullptr;
            return output.status;
        }
    }
    remove(names.programHex.c_str());
    remove(names.dataHex.c_str());
    remove(names.listing.c_str());
    remove(names.codeTemp.c_str());
    if (!(a.codeFile = fopen(names.codeTemp.c_str(), "w+"))) {
        fprintf(a.console.err, "Error! Unable to open the output file \"%s\"!\n", names.codeTemp.c_str());
        return 5;
    }
    if (!(a.dataFile = fopen(names.dataTemp.c_str(), "w+"))) {
        fprintf(a.console.err, "Error! Unable to open the output file \"%s\"!\n", names.dataTemp.c_str());
        return 6;
    }
    if (a.options.listing) {
        if (!(a.listingFile = fopen(names.listing.c_str(), "w"))) {
            fprintf(a.console.err, "Error! Unable to open the list file \"%s\"!\n", names.listing.c_str());
            return 7;
        }
        // The listing is the largest output: written in few large blocks.
        setvbuf(a.listingFile, nullptr, _IOFBF, kListingBufferSize);
        WriteListingHeader(a, argc, argv, LocalTimeText());
    }
    setvbuf(a.codeFile, nullptr, _IOFBF, kCodeBufferSize);
    return 0;
}

void CloseAfterFailedStart(Assembly& a, const OutputNames& names)
{
    if (a.input)
        fclose(a.input);
    a.input = nullptr;
    const bool createdTemporaries = a.codeFile != nullptr;
    CloseOutput(a.codeFile);
    CloseOutput(a.dataFile);
    CloseOutput(a.listingFile);
    if (createdTemporaries) {
        remove(names.codeTemp.c_str());
        remove(names.dataTemp.c_str());
    }
}

}  // namespace

int ProcessExitStatus(int32_t status, bool failed)
{
    if (status < 0 || status > 255)
        return 255;
    if (status == 0 && failed)
        return 1;
    return status;
}

int RunZernAsm(int argc, const char* const* argv, Console console, SecondPass secondPass)
{
    Assembly a;
    a.console = console;
    a.composeKeptLines = secondPass == SecondPass::ComposeKeptLines;
    CommandLine commandLine;
    const int32_t commandStatus = ParseCommandLine(argc, argv, commandLine, console.err);
    if (commandStatus != 0)
        return ProcessExitStatus(commandStatus, true);
    a.options = commandLine.options;
    a.inputPath = commandLine.inputPath;
    a.codeStream.Reset(a.options.extendedHex);
    a.dataStream.Reset(a.options.extendedHex);

    if (!a.options.quiet)
        PrintBanner(console.err);
    if (a.options.testMode)
        fputs("*** TEST MODE ENABLED ***\n", console.out);
    uint32_t mask = 0;
    const int32_t broken = FirstBrokenTemplate(kTemplates, kTemplateRows, &mask);
    if (broken >= 0) {
        fprintf(console.err, "Mask Error for instruction %s. Mask 0x%04x != 0x7fff\n", kTemplates[broken].name, mask);
        fputs("Fatal Error! Assembler Integrity Compromised!\n", console.err);
        return 3;
    }
    const OutputNames names = NamesFor(a.inputPath);
    const int32_t openStatus = OpenFiles(a, names, argc, argv);
    if (openStatus != 0) {
        CloseAfterFailedStart(a, names);
        return ProcessExitStatus(openStatus, true);
    }
    if (!a.options.quiet)
        fprintf(console.err, "Parsing %s ...\n", a.inputPath.c_str());
    InitSymbolTable(a);

    int32_t status;
    try {
        status = Assemble(a, names);
    } catch (const RunAborted& aborted) {
        if (aborted.message)
            fprintf(console.err, "%s\n", aborted.message);
        a.errors = std::max(a.errors, 1);
        FinishOutputs(a, names);
        status = aborted.exitCode;
    } catch (const std::bad_alloc&) {
        // Out of memory ends the run like a fatal error: no temporary stays behind.
        fputs("Memory allocation error\n", console.err);
        a.errors = std::max(a.errors, 1);
        FinishOutputs(a, names);
        status = 1;
    }
    return ProcessExitStatus(status, a.errors > 0);
}

}  // namespace zernasm
