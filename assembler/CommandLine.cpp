#include "CommandLine.h"

#include <cstring>

#include "Banner.h"

namespace zernasm {

namespace {

void PrintUsage(FILE* err)
{
    fputs("Usage:  zernasm [options] <filename>\n", err);
    fputs(
        "  options\n"
        "    -l       generate list file (default: no list file)\n"
        "    -q       quiet mode (default: verbose)\n"
        "    -b       allow DB statements (default: disallow in ZERNB)\n"
        "    -c       allow CP register instructions\n"
        "    -C       allow ZERNBK core register instructions\n"
        "    -w       wide data (ZERNB) mode (default: ZERNA)\n"
        "    -w32     wide data with 32 bit Accumulator (ZERNC)\n"
        "    -acc=<n> accumulators supported, n (default:16)\n"
        "    -h       standard hex mode (default: hex386 mode)\n\n",
        err);
}

int32_t Fail(FILE* err, const char* message, int32_t status)
{
    PrintBanner(err);
    fputs(message, err);
    PrintUsage(err);
    return status;
}

// Reads "-acc=<n>" as a decimal number; anything but digits gives no valid count.
int32_t AccumulatorCount(const char* text)
{
    int64_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return -1;
        value = value * 10 + (*c - '0');
        if (value > 1000)
            return -1;
    }
    return *text ? static_cast<int32_t>(value) : -1;
}

}  // namespace

int32_t ParseCommandLine(int argc, const char* const* argv, CommandLine& result, FILE* err)
{
    RunOptions& options = result.options;
    bool widthGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const bool last = i == argc - 1;
        if (argument[0] != '-') {
            if (last)
                break;
            return Fail(err, "Error, Invalid command line\n", 2);
        }
        switch (argument[1]) {
        case 'C':
            options.zernBkRegisters = true;
            options.cpMode = true;
            break;
        case 'c':
            options.zern5455Registers = true;
            options.cpMode = true;
            break;
        case 'b':
            options.allowDb = true;
            break;
        case 'h':
            options.extendedHex = false;
            break;
        case 'l':
            options.listing = true;
            break;
        case 'q':
            options.quiet = true;
            break;
        case 't':
            options.testMode = true;
            break;
        case 'a': {
            if (strncmp(argument, "-acc=", 5) != 0)
                return Fail(err, "Error, Invalid command line\n", 2);
            const int32_t count = AccumulatorCount(argument + 5);
            if (count != 8 && count != 16 && count != 32) {
                return Fail(err, "Error, Number of accumulators must be 8, 16 or 32\n", 16);
            }
            options.accumulators = count;
            break;
        }
        case 'w':
            if (strcmp(argument, "-w") == 0 || strcmp(argument, "-w16") == 0) {
                options.core = Core::ZernB;
            } else if (strcmp(argument, "-w32") == 0) {
                options.core = Core::ZernC;
            } else {
                return Fail(err, "Error, Invalid command line\n", 2);
            }
            widthGiven = true;
            break;
        default:
            return Fail(err, "Error, Invalid command line\n", 2);
        }
    }
    if (argc < 2 || argv[argc - 1][0] == '-')
        return Fail(err, "Error, No file specified\n", 1);
    if (widthGiven)
        options.bitLimit = 16;
    if (options.cpMode) {
        if (options.core == Core::ZernC) {
            return Fail(err, "Error, -c or -C should not be specified with ZERNC \n", 1);
        }
        options.core = Core::ZernB;
        options.bitLimit = 16;
    }
    result.inputPath = argv[argc - 1];
    return 0;
}

}  // namespace zernasm
