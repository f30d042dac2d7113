// The moments that --beats, --time and --fps stand for: how many, and their exact values.
#include "demo/timeline.h"
#include "moments.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

MomentSource beats(double first, double last, double step) {
    MomentSource source;
    source.kind = MomentSource::Kind::Beats;
    source.first = first;
    source.last = last;
    source.step = step;
    countMoments(source, kMaxMoments);
    return source;
}

MomentSource frames(int32_t fps, double from, double to) {
    MomentSource source;
    source.kind = MomentSource::Kind::Frames;
    source.fps = fps;
    source.first = from;
    source.last = to;
    countMoments(source, kMaxMoments);
    return source;
}

std::vector<double> beatsOf(const MomentSource& source) {
    std::vector<double> values;
    for (int64_t i = 0; i < source.count; ++i) values.push_back(momentTime(source, i).beat);
    return values;
}

// A + i x STEP for each i: repeated addition would give 0.7999999999999999 for the ninth
// and 0.9999999999999999 for the last.
TEST(Moments, BeatRangeValuesAreComputedFromTheirIndex) {
    const std::vector<double> expected = {
        0,   0.1, 0.2, 0.30000000000000004, 0.4, 0.5, 0.6000000000000001, 0.7000000000000001,
        0.8, 0.9, 1};
    EXPECT_EQ(beatsOf(beats(0, 1, 0.1)), expected);
}

TEST(Moments, BeatRangeCounts) {
    EXPECT_EQ(beats(0, 335, 0.05).count, 6701);
    // 3 x 0.1 lands just above 0.3; the slack of 1e-9 keeps it.
    EXPECT_EQ(beats(0, 0.3, 0.1).count, 4);
    // A range that reaches B only after the slack ends before it.
    EXPECT_EQ(beats(0, 0.3 - 2e-9, 0.1).count, 3);
    EXPECT_EQ(beats(5, 5, 1).count, 1);
    EXPECT_EQ(beatsOf(beats(-2, -1, 0.5)), (std::vector<double>{-2, -1.5, -1}));
}

// A step too small to move the value on never ends by itself; the limit stops it.
TEST(Moments, CountingStopsOneAboveTheLimit) {
    MomentSource source = beats(0, 1, 0.1);
    source.step = 1e-300;
    EXPECT_EQ(countMoments(source, 1000), 1001);
}

TEST(Moments, TimeIsConvertedLikeTheIntrosClock) {
    MomentSource source;
    source.kind = MomentSource::Kind::Time;
    source.first = 0.09;
    countMoments(source, kMaxMoments);
    ASSERT_EQ(source.count, 1);
    // 0.09 x 150 / 60; 0.09 x 2.5 would be 0.22499999999999998.
    EXPECT_EQ(momentTime(source, 0).beat, 0.225);
}

// Frame k at from + k / N, for every frame that starts before the end.
TEST(Moments, CaptureFramesSpanTheirSeconds) {
    const MomentSource show = frames(60, 0, kDefaultCaptureEnd);
    EXPECT_EQ(show.count, 7848);  // 130.8 s x 60, the frame at 130.8 itself excluded
    EXPECT_EQ(frameSeconds(show, 7847), 7847 / 60.0);
    EXPECT_EQ(frames(3, 1, 2).count, 3);
    // 0.01 + 23/10 rounds to just below 2.31: that frame starts at the end, not before it.
    EXPECT_EQ(frames(10, 0.01, 2.31).count, 23);
    EXPECT_EQ(frames(10, 0.01, 2.31 + 1e-6).count, 24);
}

TEST(Moments, CaptureFrameTimesAreComputedFromTheirIndex) {
    const MomentSource capture = frames(10, 0, 1);
    // Adding 0.1 three times would give 0.30000000000000004 s.
    EXPECT_EQ(frameSeconds(capture, 3), 0.3);
    EXPECT_EQ(momentTime(capture, 3).beat, 0.75);
    const MomentSource late = frames(8, 80.5, 82);
    EXPECT_EQ(frameSeconds(late, 5), 81.125);
    EXPECT_EQ(momentTime(late, 5).beat, 202.8125);
}

}  // namespace
