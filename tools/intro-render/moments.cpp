#include "moments.h"

#include "demo/timeline.h"

namespace {

// Each value is computed from its index, never by adding the step up, so that rounding
// errors do not pile up along a long range.
double rangeBeat(const MomentSource& source, int64_t i) {
    return source.first + double(i) * source.step;
}

bool inRange(const MomentSource& source, int64_t i) {
    switch (source.kind) {
    case MomentSource::Kind::Beats: return rangeBeat(source, i) <= source.last + kRangeSlack;
    case MomentSource::Kind::Frames: return frameSeconds(source, i) < source.last - kRangeSlack;
    default: return i == 0;
    }
}

}  // namespace

int64_t countMoments(MomentSource& source, int64_t limit) {
    // The values grow with i (never fall), so the first index out of range ends the list.
    int64_t n = 0;
    while (n <= limit && inRange(source, n)) ++n;
    source.count = n;
    return n;
}

double frameSeconds(const MomentSource& source, int64_t index) {
    return source.first + double(index) / double(source.fps);
}

FrameTime momentTime(const MomentSource& source, int64_t index) {
    switch (source.kind) {
    case MomentSource::Kind::Beat: return frameTimeAtBeat(source.first);
    case MomentSource::Kind::Time: return frameTimeAtSeconds(source.first);
    case MomentSource::Kind::Beats: return frameTimeAtBeat(rangeBeat(source, index));
    case MomentSource::Kind::Frames: return frameTimeAtSeconds(frameSeconds(source, index));
    }
    return frameTimeAtBeat(source.first);
}
