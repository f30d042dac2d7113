// The pacing sleep on POSIX systems.
#include "app/frame_pacer.h"

#include <ctime>

// CLOCK_MONOTONIC is the clock of monotonicNs: libstdc++'s steady_clock reads it.
void sleepUntilNs(int64_t untilNs) {
    if (untilNs <= 0) return;
    const timespec until = {time_t(untilNs / 1000000000), long(untilNs % 1000000000)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
}
