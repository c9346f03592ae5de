#pragma once
// The options of one run, as the command line sets them, and where its console
// text goes.
#include <cstdint>
#include <cstdio>

namespace zernasm {

enum class Core { ZernA, ZernB, ZernC };

struct RunOptions {
    bool listing = false;
    bool quiet = false;
    bool allowDb = false;
    bool zern5455Registers = false;  // -c
    bool zernBkRegisters = false;    // -C
    bool cpMode = false;             // -c or -C
    Core core = Core::ZernA;
    int32_t bitLimit = 8;
    int32_t accumulators = 16;
    bool extendedHex = true;
    bool testMode = false;
};

// Where console text goes; the fuzzer points both at a sink.
struct Console {
    FILE* out = stdout;
    FILE* err = stderr;
};

}  // namespace zernasm
