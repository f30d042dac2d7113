#include "click_timing.h"

#include "click_track.h"

#include <algorithm>
#include <cmath>

// Nanoseconds per frame of the recording: the sinks measured here run on the system clock.
static constexpr double kNsPerFrame = 1e9 / 44100.0;

// Frames after a click whose timing reports place it. The reports change their base when
// the sink wakes up, rewinds or changes its latency, so only those taken just after the
// click was captured count.
static constexpr double kTimingWindowFrames = 8820;

// Monotonic ns at which `frame` left the sink: the median over the reports that follow it
// of (report time - its frame's nominal duration), plus the frame's own. Sets `spreadMs` to
// the largest distance of such a report from that median; -1 without reports.
static double timeOfFrame(const std::vector<TimingPoint>& points, double frame, double& spreadMs) {
    std::vector<double> bases;
    for (const TimingPoint& p : points)
        if (p.frame >= frame && p.frame - frame <= kTimingWindowFrames)
            bases.push_back(p.ns - p.frame * kNsPerFrame);
    if (bases.empty()) return -1;
    std::sort(bases.begin(), bases.end());
    const double median = bases[bases.size() / 2];
    spreadMs = std::max(median - bases.front(), bases.back() - median) / 1e6;
    return median + frame * kNsPerFrame;
}

std::vector<int64_t> clickLeaveTimes(const std::vector<int16_t>& samples,
                                     const std::vector<TimingPoint>& timing,
                                     double& mappingJitterMs) {
    std::vector<int64_t> times;
    mappingJitterMs = 0;
    for (double onset : findClickOnsets(samples.data(), samples.size() / 2)) {
        double spreadMs = 0;
        const double ns = timeOfFrame(timing, onset, spreadMs);
        if (ns < 0) continue;
        times.push_back(std::llround(ns));
        mappingJitterMs = std::max(mappingJitterMs, spreadMs);
    }
    return times;
}

double timeClockReads(const std::vector<Reading>& log, double seconds) {
    for (size_t i = 1; i < log.size(); ++i) {
        if (log[i].seconds < seconds) continue;
        const Reading& a = log[i - 1];
        const Reading& b = log[i];
        if (b.seconds == a.seconds) return double(b.ns);
        const double share = std::clamp((seconds - a.seconds) / (b.seconds - a.seconds), 0.0, 1.0);
        return double(a.ns) + share * double(b.ns - a.ns);
    }
    return -1;
}
