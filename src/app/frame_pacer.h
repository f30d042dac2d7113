#pragma once
#include <cstdint>

// Keeps the frame loop at the display's refresh when buffer swaps return sooner than a
// refresh (a driver that ignores the swap interval, as software OpenGL does), so that
// the loop neither burns a core nor presents frames no one can see: each frame starts
// one refresh after the one before. A swap that waits for the refresh itself makes every
// frame start late on that schedule, so the loop never sleeps then. The caller supplies
// every time, on the monotonic clock in nanoseconds, so tests drive it with simulated
// frames.
struct FramePacer {
    int64_t periodNs;  // one refresh of the display
    int64_t dueNs;     // when the current frame was due to start; 0 before the first
};

// The pacer for a display refreshing refreshHz times a second; 60 Hz when it is unknown
// (0 or less).
FramePacer makeFramePacer(int32_t refreshHz);

// Called once a frame, after its swap returned: workStartNs is when the frame's work began
// (after any pacing sleep), swappedNs when its swap returned. Returns the time to sleep
// until before the next frame starts, or 0 to start it at once. After a frame late on
// the schedule by less than two refreshes the schedule holds; after one later still (a
// stall, frames slower than the refresh) it starts afresh instead of catching up in a
// burst.
int64_t frameSleepUntil(FramePacer& pacer, int64_t workStartNs, int64_t swappedNs);

// Sleeps until untilNs on the clock of monotonicNs (audio/stream.h); returns early when a signal
// arrives, so the event pump sees it at once. 0 or a past time returns at once.
void sleepUntilNs(int64_t untilNs);
