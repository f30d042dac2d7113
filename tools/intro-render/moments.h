#pragma once
#include "demo/frame_time.h"
#include "demo/timeline.h"

#include <cstdint>
#include <string>
#include <vector>

// The end of a capture unless --to says otherwise: the show's last change and then 2 s
// of its final picture.
constexpr double kFinalPictureSeconds = 2;
constexpr double kDefaultCaptureEnd = kShowEndSeconds + kFinalPictureSeconds;

// Upper bound on the moments of one run; guards the counting loops and every size derived
// from the count (a raw file of this many canvases is already 160 GB).
constexpr int64_t kMaxMoments = 10000000;

// Slack on the upper bound of a beat range, so that B is reached although A + i x STEP
// lands a rounding step above it.
constexpr double kRangeSlack = 1e-9;

// One moment argument of the command line and the moments it stands for.
struct MomentSource {
    enum class Kind {
        Beat,    // one moment, first is its beat
        Time,    // one moment, first is its time in seconds
        Beats,   // beats first + i x step while <= last + kRangeSlack
        Frames,  // seconds first + k / fps while < last - kRangeSlack
    };
    Kind kind = Kind::Beat;
    double first = 0;
    double last = 0;
    double step = 0;
    int32_t fps = 0;
    int64_t count = 0;  // set by countMoments
};

// Fills in source.count, at most limit + 1 (more means too many). Returns it.
int64_t countMoments(MomentSource& source, int64_t limit);

// The time values of moment `index` (0 <= index < count) of the source: beats as given,
// times and frames converted to beats exactly as the live intro converts its clock.
FrameTime momentTime(const MomentSource& source, int64_t index);

// Seconds of frame `index` of a Frames source: first + index / fps.
double frameSeconds(const MomentSource& source, int64_t index);
