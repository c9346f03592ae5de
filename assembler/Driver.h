#pragma once
// One run of the assembler: command line, start-up checks, both passes and
// the final renaming of the outputs.
#include <cstdint>

#include "RunOptions.h"

namespace zernasm {

// How pass 2 goes over the lines that pass 1 kept: composing them again, as
// the program does, or parsing every line (what composing must equal).
enum class SecondPass { ComposeKeptLines, ParseEveryLine };

// Runs the assembler as the program does and returns the process exit status
// (0 to 255; a failed run never returns 0).
int RunZernAsm(int argc, const char* const* argv, Console console = Console(),
               SecondPass secondPass = SecondPass::ComposeKeptLines);

// The exit status the system would see for a run's status value.
int ProcessExitStatus(int32_t status, bool failed);

}  // namespace zernasm
