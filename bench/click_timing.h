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
