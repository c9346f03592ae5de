#pragma once
// Every delay and time-out of a link to the target, in one record whose
// defaults are the documented values; tests shorten them.

namespace zern {

struct LinkTiming {
    // How long one read waits for its first byte.
    int firstByteMs = 3000;
    // The board is reset by switching DTR off: a wait before and one after.
    int dtrResetWaitMs = 300;
    // Run polls the target's status at this interval.
    int runPollMs = 100;
    // After a reset the target is polled at this interval until it halts.
    int startupPollMs = 500;
    // A transfer must be complete within the configured expected erase time
    // times this unit (seconds by default).
    int readDeadlineUnitMs = 1000;
    // The erase waits for its prompt the expected erase time times this unit.
    int eraseTimeoutUnitMs = 10;
    // First-byte wait of reads after an erase.
    int afterEraseFirstByteMs = 10000;
    // A late reply is drained until the line stays quiet this long.
    int drainQuietMs = 200;
    // How long a write waits for room in the port's output queue.
    int writeTimeoutMs = 10000;
    // The RLA port's far end reboots when its port opens.
    int rlaRebootWaitMs = 15000;
    // A read on the RLA port must be complete within this time.
    int rlaReadDeadlineMs = 10000;
};

}  // namespace zern
