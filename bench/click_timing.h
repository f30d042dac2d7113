#pragma once
#include <cstdint>
#include <vector>

// One timing report of a recorder: the recording's frame `frame` left the sink at the
// monotonic time `ns` (std::chrono::steady_clock).
struct TimingPoint {
    double frame;
    double ns;
};

// The monotonic nanoseconds at which each click onset of a recording (interleaved stereo
// 44.1 kHz) left the sink, placed by the timing reports; `mappingJitterMs` is the largest
// distance of a report near a click from the time the reports agree on.
std::vector<int64_t> clickLeaveTimes(const std::vector<int16_t>& samples,
                                     const std::vector<TimingPoint>& timing,
                                     double& mappingJitterMs);

// One reading of a clock under test: at monotonic time `ns` it read `seconds` of track.
struct Reading {
    int64_t ns;  // steady_clock
    double seconds;
};

// Monotonic time at which the clock first reads `seconds`, interpolated between readings;
// -1 when it never does.
double timeClockReads(const std::vector<Reading>& log, double seconds);
