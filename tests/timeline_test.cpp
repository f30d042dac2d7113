#include "demo/timeline.h"
#include "demo/scenes.h"

#include "gfx/argb_gfx.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

using Draw = void (*)(ArgbGfx&, const FrameTime&);

Draw branchAt(const FrameTime& t) {
    return showBranchFor(t).draw;
}

struct Moment {
    double seconds;
    double beat;
    int32_t wholeBeat;
    int32_t block;
    double blockBeat;
    double beatFraction;
    Draw branch;
};

// Seconds chosen so that the beat is exact in double, and the boundaries of the dispatch.
const Moment kMoments[] = {
    {0.0, 0.0, 0, 0, 0.0, 0.0, drawOpeningTitle},
    {3.2, 8.0, 8, 1, 0.0, 0.0, drawJamTheRadar},
    {6.4, 16.0, 16, 2, 0.0, 0.0, drawFloorZoom},
    {12.8, 32.0, 32, 4, 0.0, 0.0, drawOneMan},
    {40.4, 101.0, 101, 12, 5.0, 0.0, drawRedCross},
    {96.0, 240.0, 240, 30, 0.0, 0.0, drawEndFirstHalf},
    {111.2, 278.0, 278, 34, 6.0, 0.0, drawEndSecondHalf},
    {128.8, 322.0, 322, 40, 2.0, 0.0, drawEndSecondHalf},
    // Just before the start: a negative beat above -1 still truncates into block 0.
    {-0.2, -0.5, 0, 0, -0.5, -0.5, drawOpeningTitle},
    // -1 and below: the shift gives block -1, which is the end section.
    {-0.4, -1.0, -1, -1, 7.0, 0.0, drawEndFirstHalf},
    {-1.0, -2.5, -2, -1, 5.5, -0.5, drawEndFirstHalf},
};

}  // namespace

TEST(Timeline, TimeValuesAtTheShowsBoundaries) {
    for (const Moment& m : kMoments) {
        const FrameTime t = frameTimeAtSeconds(m.seconds);
        EXPECT_EQ(t.beat, m.beat) << m.seconds << " s";
        EXPECT_EQ(t.wholeBeat, m.wholeBeat) << m.seconds << " s";
        EXPECT_EQ(t.block, m.block) << m.seconds << " s";
        EXPECT_EQ(t.blockBeat, m.blockBeat) << m.seconds << " s";
        EXPECT_EQ(t.beatFraction, m.beatFraction) << m.seconds << " s";
        EXPECT_EQ(branchAt(t), m.branch) << m.seconds << " s";
    }
}

TEST(Timeline, LastMomentOfTheSwitchAndFirstOfTheEnd) {
    const FrameTime last = frameTimeAtSeconds(95.99);
    EXPECT_EQ(last.block, 29);
    EXPECT_EQ(last.wholeBeat, 239);
    EXPECT_EQ(last.beat, 239.975);
    EXPECT_EQ(last.blockBeat, 7.974999999999994);       // 239.975 - 232, rounded in double
    EXPECT_EQ(last.beatFraction, 0.97499999999999432);  // 239.975 - 239
    EXPECT_EQ(branchAt(last), drawWarpSwing);
    // The end section splits on the beat itself, not on the whole beat.
    EXPECT_EQ(branchAt(frameTimeAtBeat(std::nextafter(278.0, 0.0))), drawEndFirstHalf);
    EXPECT_EQ(branchAt(frameTimeAtBeat(278.0)), drawEndSecondHalf);
}

TEST(Timeline, EveryBlockOfTheSwitchSelectsItsBranch) {
    const Draw byBlock[30] = {drawOpeningTitle,
                              drawJamTheRadar,
                              drawFloorZoom,
                              drawFloorZoom,
                              drawOneMan,
                              drawOneMan,
                              drawShitloadOfMoney,
                              drawShitloadOfMoney,
                              drawFirstJam,
                              drawFirstJam,
                              drawFirstJam,
                              drawFlashPair,
                              drawRedCross,
                              drawSecondJam,
                              drawSecondJam,
                              drawThirdJam,
                              drawThirdJam,
                              drawWeDoIt,
                              drawWeDoIt,
                              drawMoneyAndHelmet,
                              drawHelmetsIntoWarp,
                              drawHelmetsIntoWarp,
                              drawHelmetsIntoWarp,
                              drawWarp,
                              drawWarp,
                              drawWarp,
                              drawWarpSwing,
                              drawWarpSwing,
                              drawWarpSwing,
                              drawWarpSwing};
    for (int block = 0; block < 30; ++block)
        for (double beat : {block * 8.0, block * 8 + 3.5, std::nextafter(block * 8 + 8.0, 0.0)}) {
            const FrameTime t = frameTimeAtBeat(beat);
            EXPECT_EQ(t.block, block) << "beat " << beat;
            EXPECT_EQ(branchAt(t), byBlock[block]) << "beat " << beat;
        }
}

TEST(Timeline, TheTableCoversBlocksZeroToTwentyNineOnceInOrder) {
    int32_t next = 0;
    for (size_t i = 0; i < kBlockBranchCount; ++i) {
        EXPECT_EQ(kBlockBranches[i].firstBlock, next) << "row " << i;
        EXPECT_LE(kBlockBranches[i].firstBlock, kBlockBranches[i].lastBlock) << "row " << i;
        next = kBlockBranches[i].lastBlock + 1;
    }
    EXPECT_EQ(next, 30);
}

TEST(Timeline, BeatsBeyondEveryRangeSelectTheEndSection) {
    const double odd[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          1e300,
                          -1e300,
                          4294967296.0};
    for (double beat : odd) {
        const FrameTime t = frameTimeAtBeat(beat);
        const Draw branch = branchAt(t);
        EXPECT_TRUE(branch == drawEndFirstHalf || branch == drawEndSecondHalf) << beat;
    }
    EXPECT_EQ(branchAt(frameTimeAtBeat(1e300)), drawEndSecondHalf);
    EXPECT_EQ(branchAt(frameTimeAtBeat(-1e300)), drawEndFirstHalf);
}

TEST(Timeline, EmptyStretchesOfTheShowLeaveTheCanvasBlack) {
    // Block 4 up to beat 35, and the gaps of the closing section.
    for (double beat : {32.0, 34.99, 282.0, 301.0, 307.0, 313.0, 321.0}) {
        ArgbGfx canvas;
        canvas.allocate(64, 64);
        canvas.color = 0;
        canvas.clear();
        drawFrame(canvas, frameTimeAtBeat(beat));
        for (int32_t i = 0; i < 64 * 64; ++i)
            ASSERT_EQ(canvas.pixels[i], 0u) << "beat " << beat << ", pixel " << i;
    }
}
