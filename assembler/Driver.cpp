#include "Driver.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <sys/stat.h>

#include "Banner.h"
#include "CommandLine.h"
#include "Emit.h"
#include "Expressions.h"
#include "Listing.h"
#include "Relaxation.h"
#include "Reporting.h"
#include "ScannerSupport.h"
#include "Symbols.h"
#include "Templates.h"
#include "TokenCodes.h"

extern int yydebug;

namespace zernasm {

namespace {

constexpr size_t kCodeBufferSize = 32 * 1024;

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

bool RenameOutput(const std::string& from, const std::string& to)
{
    if (rename(from.c_str(), to.c_str()) == 0)
        return true;
    const int error = errno;
    char buffer[32];
    fprintf(g_run.console.err, "Error!  Failed to rename output file\n  %s to %s\n", from.c_str(), to.c_str());
    fprintf(g_run.console.out, "ERROR: %s\n", RenameErrorText(error, buffer, sizeof buffer));
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

void ReportWriteFailure(const std::string& name)
{
    fprintf(g_run.console.err, "Error! Unable to write the output file \"%s\"!\n", name.c_str());
    ++g_run.errors;
}

void FinishOutputs(const OutputNames& names)
{
    long dataSize = 0;
    if (g_run.dataFile) {
        fflush(g_run.dataFile);
        dataSize = ftell(g_run.dataFile);
    }
    if (g_run.pass == 2) {
        if (g_run.codeFile)
            g_run.codeStream.End();
        if (g_run.dataFile)
            g_run.dataStream.End();
    }
    if (g_run.input)
        fclose(g_run.input);
    g_run.input = nullptr;
    if (!CloseOutput(g_run.codeFile))
        ReportWriteFailure(names.codeTemp);
    if (!CloseOutput(g_run.dataFile))
        ReportWriteFailure(names.dataTemp);
    if (!CloseOutput(g_run.listingFile))
        ReportWriteFailure(names.listing);
    if (g_run.errors > 0) {
        remove(names.codeTemp.c_str());
        remove(names.dataTemp.c_str());
        return;
    }
    if (!RenameOutput(names.codeTemp, names.programHex))
        ++g_run.errors;
    if (dataSize <= 0) {
        remove(names.dataTemp.c_str());
    } else if (!RenameOutput(names.dataTemp, names.dataHex)) {
        ++g_run.errors;
    }
}

void StartPass()
{
    g_run.line = 1;
    if (g_run.pass == 0 && !ReadSource(g_run.input, g_run.source))
        ScannerFatal("input in flex scanner failed");
    RestartScanner(g_run.source);
    ++g_run.pass;
    g_run.rangeCount = 0;
    g_run.codeBytes = 0;
    g_run.dataBytes = 0;
    g_run.rangeStart = 0;
    g_run.endOfInput = false;
    g_run.listingText.clear();
    g_run.scannerTrace = false;
    g_run.grammarTrace = false;
    g_run.statement = StatementState();
    g_run.prefixThePrefix = false;
    ClearExpressionStack();
    if (!g_run.options.quiet)
        fprintf(g_run.console.err, "\n\nStarting pass %d ...\n", g_run.pass);
}

// Parses line by line until the input ends or a line fails; returns the last result.
int ParsePass()
{
    StartPass();
    int result = 0;
    do {
        yydebug = g_run.grammarTrace ? 1 : 0;
        result = yyparse();
    } while (result == 0 && !g_run.endOfInput);
    CloseCodeRange();
    return result;
}

void WriteClosing(const char* text)
{
    if (g_run.options.listing && g_run.listingFile)
        fputs(text, g_run.listingFile);
}

int32_t Assemble(const OutputNames& names)
{
    const int pass1 = ParsePass();
    if (pass1 != 0)
        ReportError("Parse failed");
    g_run.undefinedAfterPass1 = !Relax();
    const int pass2 = ParsePass();
    CheckCodeRanges(g_run.rangeCount);

    const bool succeeded = pass2 == 0 && g_run.exitStatus == 0;
    bool rangesMoved = false;
    for (size_t i = 0; i < g_run.rangeCount; ++i) {
        rangesMoved = rangesMoved || g_run.ranges[i].endPass1 != g_run.ranges[i].endPass2;
    }
    if (rangesMoved && g_run.undefinedAfterPass1) {
        fputs("Assembler Error! Parse failed! Possible forward reference assigned to DP[i]\n", g_run.console.err);
        WriteClosing("\nAssembler Error! Parse failed! Possible forward reference assigned to DP[i]\n");
        g_run.exitStatus = -1;
        ++g_run.errors;
    } else if (succeeded) {
        if (!g_run.options.quiet)
            fputs("Parser terminated successfully.\n", g_run.console.err);
        if (g_run.options.listing && g_run.listingFile) {
            if (g_run.warnings == 0) {
                fputs("\nParser terminated successfully.\n", g_run.listingFile);
            } else {
                fprintf(g_run.listingFile, "\nParser terminated with %d warnings.\n", g_run.warnings);
            }
        }
        if (g_run.warnings > 0)
            fputs("Warnings encountered.\n", g_run.console.err);
    } else {
        fputs("Error! Parse failed!\n", g_run.console.err);
        WriteClosing("\nError! Parse failed!\n");
    }
    FinishOutputs(names);
    return g_run.exitStatus;
}

// Opens the input and creates the outputs; returns an exit status, or 0 when ready.
int32_t OpenFiles(const OutputNames& names, int argc, const char* const* argv)
{
    const std::string& input = g_run.inputPath;
    struct stat inputInfo {};
    if (stat(input.c_str(), &inputInfo) != 0 || !S_ISREG(inputInfo.st_mode)
        || !(g_run.input = fopen(input.c_str(), "r"))) {
        fprintf(g_run.console.err, "Error! Unable to open the input file \"%s\"!\n", input.c_str());
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
            fprintf(g_run.console.err, output.message, output.name.c_str());
            fclose(g_run.input);
            g_run.input = nullptr;
            return output.status;
        }
    }
    remove(names.programHex.c_str());
    remove(names.dataHex.c_str());
    remove(names.listing.c_str());
    remove(names.codeTemp.c_str());
    if (!(g_run.codeFile = fopen(names.codeTemp.c_str(), "w+"))) {
        fprintf(g_run.console.err, "Error! Unable to open the output file \"%s\"!\n", names.codeTemp.c_str());
        return 5;
    }
    if (!(g_run.dataFile = fopen(names.dataTemp.c_str(), "w+"))) {
        fprintf(g_run.console.err, "Error! Unable to open the output file \"%s\"!\n", names.dataTemp.c_str());
        return 6;
    }
    if (g_run.options.listing) {
        if (!(g_run.listingFile = fopen(names.listing.c_str(), "w"))) {
            fprintf(g_run.console.err, "Error! Unable to open the list file \"%s\"!\n", names.listing.c_str());
            return 7;
        }
        WriteListingHeader(argc, argv, LocalTimeText());
    }
    setvbuf(g_run.codeFile, nullptr, _IOFBF, kCodeBufferSize);
    return 0;
}

void CloseAfterFailedStart(const OutputNames& names)
{
    if (g_run.input)
        fclose(g_run.input);
    g_run.input = nullptr;
    const bool createdTemporaries = g_run.codeFile != nullptr;
    CloseOutput(g_run.codeFile);
    CloseOutput(g_run.dataFile);
    CloseOutput(g_run.listingFile);
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

int RunZernAsm(int argc, const char* const* argv, Console console)
{
    ResetRunState();
    g_run.console = console;
    CommandLine commandLine;
    const int32_t commandStatus = ParseCommandLine(argc, argv, commandLine, console.err);
    if (commandStatus != 0)
        return ProcessExitStatus(commandStatus, true);
    g_run.options = commandLine.options;
    g_run.inputPath = commandLine.inputPath;
    g_run.codeStream.Reset(g_run.options.extendedHex);
    g_run.dataStream.Reset(g_run.options.extendedHex);

    if (!g_run.options.quiet)
        PrintBanner(console.err);
    if (g_run.options.testMode)
        fputs("*** TEST MODE ENABLED ***\n", console.out);
    uint32_t mask = 0;
    const int32_t broken = FirstBrokenTemplate(kTemplates, kTemplateRows, &mask);
    if (broken >= 0) {
        fprintf(console.err, "Mask Error for instruction %s. Mask 0x%04x != 0x7fff\n", kTemplates[broken].name, mask);
        fputs("Fatal Error! Assembler Integrity Compromised!\n", console.err);
        return 3;
    }
    const OutputNames names = NamesFor(g_run.inputPath);
    const int32_t openStatus = OpenFiles(names, argc, argv);
    if (openStatus != 0) {
        CloseAfterFailedStart(names);
        return ProcessExitStatus(openStatus, true);
    }
    if (!g_run.options.quiet)
        fprintf(console.err, "Parsing %s ...\n", g_run.inputPath.c_str());
    InitSymbolTable();

    int32_t status;
    try {
        status = Assemble(names);
    } catch (const RunAborted& aborted) {
        g_run.errors = std::max(g_run.errors, 1);
        FinishOutputs(names);
        status = aborted.exitCode;
    } catch (const std::bad_alloc&) {
        // Out of memory ends the run like a fatal error: no temporary stays behind.
        fputs("Memory allocation error\n", console.err);
        g_run.errors = std::max(g_run.errors, 1);
        FinishOutputs(names);
        status = 1;
    }
    const bool failed = g_run.errors > 0;
    const int exitStatus = ProcessExitStatus(status, failed);
    DestroyScanner();
    return exitStatus;
}

void ScannerFatal(const char* message)
{
    fprintf(g_run.console.err, "%s\n", message);
    throw RunAborted{2};
}

}  // namespace zernasm
