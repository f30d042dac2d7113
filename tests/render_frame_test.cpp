// The frame canvas every moment is drawn on, and the time values a moment's seconds turn
// into, at the edges of the blocks and the end section.
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"
#include "scenes_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct TimeCase {
    double seconds;
    double beat;
    int32_t block;
    ShowBranch branch;
    double blockBeat;
    double beatFraction;
};

// Expected values are the double results of seconds x 150 / 60 and of the subtractions,
// written out; every comparison is exact.
TEST(FrameTime, EdgesOfTheBlocksAndTheEndSection) {
    const TimeCase cases[] = {
        {0, 0, 0, ShowBranch::OpeningTitle, 0, 0},
        {3.2, 8, 1, ShowBranch::JamTheRadar, 0, 0},
        {95.99, 239.975, 29, ShowBranch::WarpSwing, 7.974999999999994, 0.9749999999999943},
        {96, 240, 30, ShowBranch::EndFirstHalf, 0, 0},
        {111.2, 278, 34, ShowBranch::EndSecondHalf, 6, 0},
        // Between -1 and 0 the beat truncates to 0: block 0 with a negative blockBeat.
        {-0.2, -0.5, 0, ShowBranch::OpeningTitle, -0.5, -0.5},
        // From beat -1 down the block is negative and the end section runs.
        {-0.4, -1, -1, ShowBranch::EndFirstHalf, 7, 0},
        {-1, -2.5, -1, ShowBranch::EndFirstHalf, 5.5, -0.5},
    };
    for (const TimeCase& c : cases) {
        SCOPED_TRACE(c.seconds);
        const FrameTime time = frameTimeAtSeconds(c.seconds);
        EXPECT_EQ(time.beat, c.beat);
        EXPECT_EQ(time.block, c.block);
        EXPECT_EQ(showBranchFor(time), c.branch);
        EXPECT_EQ(time.blockBeat, c.blockBeat);
        EXPECT_EQ(time.beatFraction, c.beatFraction);
    }
}

// seconds x 150, then / 60: multiplying by 2.5 instead rounds differently at 0.09 s.
TEST(FrameTime, SecondsBecomeBeatsInTheShowsOrder) {
    EXPECT_EQ(frameTimeAtSeconds(0.09).beat, 0.225);
}

// Whatever the canvas held before, it comes out 64 x 64, colour 0, every pixel 0.
TEST(FrameCanvas, PreparedCanvasIsFreshAndBlack) {
    ArgbGfx canvas;
    canvas.allocate(13, 7);
    std::memset(canvas.pixels, 0xAB, 13 * 7 * 4);
    canvas.color = 0xFFFFFFFF;
    ASSERT_TRUE(prepareFrameCanvas(canvas));
    EXPECT_EQ(canvas.width, 64);
    EXPECT_EQ(canvas.height, 64);
    EXPECT_EQ(canvas.pitch, 64);
    EXPECT_EQ(canvas.rows, 64);
    EXPECT_EQ(canvas.color, 0u);
    for (int i = 0; i < 64 * 64; ++i) ASSERT_EQ(canvas.pixels[i], 0u) << "pixel " << i;
}

class FreshFrame : public scenes_test::Show {};

// A canvas that held another moment draws the same as a new one: nothing survives.
TEST_F(FreshFrame, SameMomentGivesIdenticalCanvases) {
    for (double beat : {20.5, 36.5, 101.0, 200.25, 276.5}) {
        SCOPED_TRACE(beat);
        ArgbGfx first, second;
        ASSERT_TRUE(drawFreshFrame(first, frameTimeAtBeat(beat)));
        ASSERT_TRUE(drawFreshFrame(second, frameTimeAtBeat(330)));
        ASSERT_TRUE(drawFreshFrame(second, frameTimeAtBeat(beat)));
        EXPECT_TRUE(scenes_test::sameCanvas(second, first));
    }
}

// Block 4 draws nothing up to beat 35; from just after it the helmet fills the canvas.
TEST_F(FreshFrame, MomentWithoutStepsIsAllZero) {
    ArgbGfx canvas, black;
    ASSERT_TRUE(prepareFrameCanvas(black));
    ASSERT_TRUE(drawFreshFrame(canvas, frameTimeAtBeat(34.5)));
    EXPECT_TRUE(scenes_test::sameCanvas(canvas, black));
    ASSERT_TRUE(drawFreshFrame(canvas, frameTimeAtBeat(35.5)));
    EXPECT_FALSE(scenes_test::sameCanvas(canvas, black));
}

}  // namespace
