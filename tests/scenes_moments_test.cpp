// Chosen moments of the show with the positions, frames and warp times written out as
// numbers, each whole canvas against its composition from the primitives.
#include "scenes_support.h"
#include "warp_model.h"

using namespace scenes_test;

namespace {
const uint32_t kRed = 0x003333FF;
const uint32_t kNone = 0x002020FF;
}  // namespace

TEST_F(Show, HelmetBackgroundTakesItsCaptionsOneByOne) {
    const Step one = outlined(24, 38, "one", kRed), man = outlined(24, 46, "man", kRed);
    EXPECT_TRUE(showsAt(36.5, {helmetCopy(), one}));
    EXPECT_TRUE(showsAt(44.5, {helmetCopy(), one, man, rasberryAt(20, 24)}));
}

TEST_F(Show, SpokesCarryShitloadAndOfBeforeMoney) {
    EXPECT_TRUE(showsAt(61.5, {spokes(), shitload(), of()}));
}

TEST_F(Show, BurstPlaysEightFramesPerBeat) {
    EXPECT_TRUE(showsAt(85.5, {frame(4)}));
    EXPECT_TRUE(showsAt(85.99, {frame(7)}));
}

TEST_F(Show, FlashPairIsBlackAtItsExactChangeBeats) {
    for (double beat : {89.0, 90.0, 91.5, 93.0}) EXPECT_TRUE(showsAt(beat, {}));
}

TEST_F(Show, RedCrossLiesOverTheFrameAndUnderTheStar) {
    EXPECT_TRUE(showsAt(101, {frame(0), redCross()}));
    EXPECT_TRUE(showsAt(102.5, {frame(0), redCross(), lonestar(), jam()}));
    EXPECT_TRUE(showsAt(103.5, {frame(0), redCross(), lonestar(), jam(), it()}));
}

TEST_F(Show, FlashesThenTheStarWithWeDoIt) {
    EXPECT_TRUE(showsAt(141.5, {barf()}));
    EXPECT_TRUE(showsAt(146, {lonestar()}));
    EXPECT_TRUE(showsAt(
        149, {lonestar(), outlined(8, 34, "we do it", kRed), outlined(11, 44, " for a", kRed)}));
}

// The pendulum at whole beats: the ends of the arc and its lowest point.
TEST_F(Show, RasberrySwingsAlongItsArc) {
    EXPECT_TRUE(showsAt(208, {warpAt(30), rasberryAt(10, 8)}));
    EXPECT_TRUE(showsAt(209, {warpAt(31), rasberryAt(19, 27)}));
    EXPECT_TRUE(showsAt(210, {warpAt(32), rasberryAt(29, 8)}));
    EXPECT_TRUE(showsAt(211, {warpAt(33), rasberryAt(20, 27)}));
    EXPECT_TRUE(showsAt(212, {warpAt(34), rasberryAt(10, 8)}));
}

// Rises with sin(... x 3.1459f): from row 64 to row 0 at beat 223 and back; the swing is
// drawn again in front of it.
TEST_F(Show, HelmetRisesAndSinksBehindTheSwing) {
    EXPECT_TRUE(showsAt(
        222, {warpAt(44), rasberryAt(29, 8), picture(imgDarkHelmet, 0, 18), rasberryAt(29, 8)}));
    EXPECT_TRUE(showsAt(
        223, {warpAt(45), rasberryAt(20, 27), picture(imgDarkHelmet, 0, 0), rasberryAt(20, 27)}));
    EXPECT_TRUE(showsAt(224.99, {warpFrom178(), rasberryAt(19, 27), picture(imgDarkHelmet, 0, 63),
                                 rasberryAt(19, 27)}));
}

TEST_F(Show, StarSlidesInAndOutAcrossTheEdges) {
    EXPECT_TRUE(showsAt(234.5, {warpAt(56.5), rasberryAt(27, 17), lonestar(32, 0)}));
    EXPECT_TRUE(showsAt(239.25, {warpFrom178(), swing(), lonestar(0, 16)}));
    EXPECT_TRUE(showsAt(251.25, {endWarp(), swing(), lonestar(0, 48)}));
    EXPECT_TRUE(showsAt(257.75, {endWarp(), swing(), lonestar(48, 0)}));
    EXPECT_TRUE(showsAt(269.5, {endWarp(), swing(), lonestar(0, 32)}));
}

// The last moment of the block switch, drawn from seconds as the intro draws it: 95.99 s
// is beat 239.975. The warp is written out from its formulas, with the tunnel's end
// points rounded once; rounding the half side first would change this frame.
TEST_F(Show, LastMomentOfTheSwitchHasTheTunnelOfItsFormulas) {
    ASSERT_EQ(frameTimeAtSeconds(95.99).beat, 239.975);
    const auto modelledWarp = [](warp_model::TunnelRounding rounding) -> Step {
        return
            [rounding](ArgbGfx& c, double beat) { warp_model::modelWarp(c, beat - 178, rounding); };
    };
    ArgbGfx actual, expected, halfSideFirst;
    ASSERT_TRUE(drawFreshFrame(actual, frameTimeAtSeconds(95.99)));
    // The star has slid down to row trunc(64 x 0.975) = 62.
    compose(expected, 239.975,
            {modelledWarp(warp_model::TunnelRounding::EndPointsOnce), swing(), lonestar(0, 62)});
    compose(halfSideFirst, 239.975,
            {modelledWarp(warp_model::TunnelRounding::HalfSideFirst), swing(), lonestar(0, 62)});
    EXPECT_TRUE(sameCanvas(actual, expected));
    EXPECT_FALSE(sameCanvas(expected, halfSideFirst));
}

// The warp's time jumps from just under 62 to -42 while the swing runs on at (10, 8).
TEST_F(Show, AcrossBeat240TheWarpTimeJumpsAndTheSwingRunsOn) {
    const double lastOfBlock29 = down(240);
    EXPECT_TRUE(
        showsAt(lastOfBlock29, {warpAt(lastOfBlock29 - 178), rasberryAt(10, 8), lonestar(0, 63)}));
    EXPECT_TRUE(showsAt(240, {warpAt(-42), rasberryAt(10, 8)}));
    EXPECT_TRUE(showsAt(240.001, {endWarp(), rasberryAt(10, 8)}));
}

TEST_F(Show, EndWarpTimeSlowsTenfoldFromBeat261) {
    EXPECT_TRUE(showsAt(250, {warpAt(-22), rasberryAt(29, 8)}));
    EXPECT_TRUE(showsAt(261, {warpAt(0), swing()}));
    EXPECT_TRUE(showsAt(271, {warpAt(2), swing()}));
}

TEST_F(Show, EndFlashesPlayTheFlashSequence122BeatsLater) {
    EXPECT_TRUE(showsAt(263.5, {warpAt(0.5), rasberryAt(12, 18), barf()}));
}

// "     it" lands on the line of " jam", one empty cell after it.
TEST_F(Show, ClosingWordsShareTheirLastLine) {
    EXPECT_TRUE(
        showsAt(276.5, {endWarp(), rasberryAt(12, 17), outlined(8, 14, " none", kNone),
                        outlined(8, 24, " if", kNone), outlined(8, 34, " we", kNone),
                        outlined(8, 44, " jam", kNone), outlined(8, 44, "     it", kNone)}));
}

TEST_F(Show, ClosingAnimationPlaysFourFramesABeatThenHolds) {
    EXPECT_TRUE(showsAt(282, {}));
    EXPECT_TRUE(showsAt(283.3, {frame(5)}));
    EXPECT_TRUE(showsAt(291, {frame(32)}));
    EXPECT_TRUE(showsAt(295, {frame(33)}));
    EXPECT_TRUE(showsAt(299, {frame(34)}));
}

TEST_F(Show, QrPictureStaysForGood) {
    for (double beat : {330.0, 1000.0, 1e9, 1e300})
        EXPECT_TRUE(showsAt(beat, {picture(imgLowrezQr)}));
}
