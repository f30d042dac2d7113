#include "audio/stream.h"

#if defined(_WIN32)
#include <windows.h>

// The performance counter: the clock of the audio engine's position reports (their QPC
// times, in units of 100 ns), so those times need no conversion but the unit.
int64_t monotonicNs() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return int64_t(f.QuadPart);
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    const int64_t ticks = count.QuadPart;
    return ticks / frequency * 1000000000 + ticks % frequency * 1000000000 / frequency;
}
#else
#include <chrono>

int64_t monotonicNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}
#endif
