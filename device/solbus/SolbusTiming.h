#pragma once
// Every delay and time-out of the Solbus link, in one record whose defaults
// are the documented values; tests shorten them.

namespace solbus {

struct SolbusTiming {
    // How long a break holds the line.
    int breakMs = 2;
    // Detection waits after the break, and after the timing byte.
    int afterBreakMs = 2;
    int afterTimingByteMs = 4;
    // A baud change waits before switching the port, and again after it.
    int baudSwitchMs = 5;
    // A transfer of n bytes must be complete within n x perByteMs + transferBaseMs.
    int perByteMs = 20;
    int transferBaseMs = 60;
    // A wait for a debug-port status sleeps this long after each read that missed it.
    int debugStatusRetryMs = 10;
};

const SolbusTiming& solbusTiming();
void setSolbusTiming(const SolbusTiming& timing);

}  // namespace solbus
