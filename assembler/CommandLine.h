#pragma once
// The command line of ZernAsm: options first, the source file last.
#include <cstdint>
#include <cstdio>
#include <string>

#include "RunOptions.h"

namespace zernasm {

struct CommandLine {
    RunOptions options;
    std::string inputPath;
};

// Parses the arguments; on failure prints the message and the usage text on
// `err` and returns the exit status (else 0).
int32_t ParseCommandLine(int argc, const char* const* argv, CommandLine& result, FILE* err);

}  // namespace zernasm
