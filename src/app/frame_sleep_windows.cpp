// The pacing sleep on Windows: a high-resolution waitable timer where the system has one
// (Windows 10 1803 and later), since Sleep rounds up to the scheduler's tick, often
// 15.6 ms, a whole frame at 60 Hz; Sleep elsewhere.
#include "app/frame_pacer.h"
#include "audio/stream.h"

#include <windows.h>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

void sleepUntilNs(int64_t untilNs) {
    const int64_t leftNs = untilNs - monotonicNs();
    if (untilNs <= 0 || leftNs <= 0) return;
    static const HANDLE timer = CreateWaitableTimerExW(
        nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (timer) {
        LARGE_INTEGER due;
        due.QuadPart = -(leftNs / 100);  // negative: relative, in units of 100 ns
        if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
            WaitForSingleObject(timer, INFINITE);
            return;
        }
    }
    Sleep(DWORD(leftNs / 1000000));
}
