#include "demo/effects.h"
#include "canvas_support.h"
#include "warp_model.h"

#include <cmath>
#include <limits>

using namespace warp_model;

TEST(WarpEffect, AtTimeZeroEachStreakIsOnePointWhereInside) {
    // k = m at t = 0, so each streak is the single point (32 + X / z, 32 + Y / z).
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    warpEffect(canvas, 0);
    expected.color = 0x444444;
    int inside = 0;
    for (int i = 0; i < 128; ++i) {
        const Star star = starNumber(i);
        const double z = 4 * double(star.phase);
        if (!(z > 0)) continue;
        const float px = float(32 + star.dirX / z);
        const float py = float(32 + star.dirY / z);
        if (0 < px && px < 63 && 0 < py && py < 63) {
            expected.plotSmooth(px, py);
            ++inside;
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_TRUE(sameCanvas(canvas, expected));
    EXPECT_EQ(canvas.color, 0x444444u);
}

TEST(WarpEffect, AtPlusAndMinusTwentyOnlyStreaks) {
    // |s| = 5 exactly, and the spoke stars need |s| > 5.
    for (double t : {20.0, -20.0}) {
        ArgbGfx canvas, expected;
        setUpCanvas(canvas);
        setUpCanvas(expected);
        warpEffect(canvas, t);
        modelStreaks(expected, t);
        EXPECT_TRUE(sameCanvas(canvas, expected)) << "t = " << t;
        EXPECT_EQ(canvas.color, 0x444444u) << "t = " << t;
    }
}

TEST(WarpEffect, AtTwentyAndAHalfSpokesAreTwoPixelsLong) {
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    warpEffect(canvas, 20.5);
    modelStreaks(expected, 20.5);
    modelSpokeStars(expected, 2);
    EXPECT_TRUE(sameCanvas(canvas, expected));
    EXPECT_EQ(canvas.color, 0x102080u);  // no tunnel yet
}

TEST(WarpEffect, AtTwentyFourAllStagesWithTunnelPhaseFifteenHundredths) {
    // e = 1: spokes 32 * 4 pixels long, tunnel phases 0.15 and 0.16.
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    warpEffect(canvas, 24);
    modelStreaks(expected, 24);
    modelSpokeStars(expected, 128);
    modelTunnel(expected, 0.15);
    EXPECT_TRUE(sameCanvas(canvas, expected));
    EXPECT_EQ(canvas.color, 0x108080u);
}

TEST(WarpEffect, MinusThirtyHasTheStarsAndTunnelOfThirtyButCrossingStreaks) {
    // e = 2.5: spokes 800 pixels long, tunnel phase 0.525, for both signs of t.
    ArgbGfx starsAndTunnel;
    setUpCanvas(starsAndTunnel);
    modelSpokeStars(starsAndTunnel, 800);
    modelTunnel(starsAndTunnel, 0.525);
    for (double t : {30.0, -30.0}) {
        ArgbGfx canvas, expected;
        setUpCanvas(canvas);
        setUpCanvas(expected);
        warpEffect(canvas, t);
        modelStreaks(expected, t);
        modelSpokeStars(expected, 800);
        modelTunnel(expected, 0.525);
        EXPECT_TRUE(sameCanvas(canvas, expected)) << "t = " << t;
    }
    // The streaks themselves do differ: at -30 they reach across the centre.
    ArgbGfx plus, minus;
    setUpCanvas(plus);
    setUpCanvas(minus);
    modelStreaks(plus, 30);
    modelStreaks(minus, -30);
    EXPECT_FALSE(sameCanvas(plus, minus));
}

TEST(WarpEffect, MatchesTheLiteralDepthLoopOverTheShowsTimes) {
    for (double t : {-42.0, -22.0, -0.75, 3.4, 12.0, 21.7, 37.0, 55.3, 61.99, 62.0}) {
        ArgbGfx canvas, expected;
        setUpCanvas(canvas);
        setUpCanvas(expected);
        warpEffect(canvas, t);
        modelStreaks(expected, t);
        modelStarsAndTunnel(expected, t);
        EXPECT_TRUE(sameCanvas(canvas, expected)) << "t = " << t;
    }
}

TEST(WarpEffect, StarWhoseDepthWrapsToExactlyZeroIsNotDrawn) {
    // Find a star and a time with s^2 = p + k exactly, so 4p - 4s^2 = -4k and k turns of
    // the wrap land on 0. The time stays in the streaks-only stage (|s| <= 5).
    int starIndex = -1;
    double t = 0;
    for (int i = 0; i < 128 && starIndex < 0; ++i) {
        const Star star = starNumber(i);
        for (int k = 1; k <= 24 && starIndex < 0; ++k) {
            const double target = double(star.phase) + k;
            const double root = std::sqrt(target);
            for (double s : {root, std::nextafter(root, 0.0), std::nextafter(root, 10.0)})
                if (s * s == target && s <= 5) {
                    starIndex = i;
                    t = 4 * s;
                    break;
                }
        }
    }
    ASSERT_GE(starIndex, 0);
    const Star star = starNumber(starIndex);
    ASSERT_EQ(literalDepth(star, 0.25 * t), 0.0);

    ArgbGfx canvas, expected, wrappedToFour;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    setUpCanvas(wrappedToFour);
    warpEffect(canvas, t);
    modelStreaks(expected, t, starIndex);
    EXPECT_TRUE(sameCanvas(canvas, expected)) << "star " << starIndex << ", t = " << t;
    // Drawing it at depth 4 instead (wrapping while z <= 0) would show.
    modelStreaks(wrappedToFour, t, starIndex);
    drawStreak(wrappedToFour, star, 4, 0.25 * t);
    EXPECT_FALSE(sameCanvas(expected, wrappedToFour));
}

TEST(WarpEffect, NonFiniteAndAbsurdTimesEnd) {
    // No finite depth, spoke length or tunnel phase exists: nothing is drawn.
    const double inf = std::numeric_limits<double>::infinity();
    for (double t : {inf, -inf, 1e300, -1e300}) {
        ArgbGfx canvas;
        setUpCanvas(canvas);
        warpEffect(canvas, t);
        EXPECT_EQ(countNonZero(canvas), 0) << "t = " << t;
        EXPECT_EQ(canvas.color, 0x108080u) << "t = " << t;
    }
    ArgbGfx canvas;
    setUpCanvas(canvas);
    warpEffect(canvas, std::nan(""));
    EXPECT_EQ(countNonZero(canvas), 0);
    EXPECT_EQ(canvas.color, 0x444444u);
    // Depths millions of turns below 0 wrap without walking every turn.
    for (double t : {4e4, -4e4, 1e10, -1e17}) {
        ArgbGfx big;
        setUpCanvas(big);
        warpEffect(big, t);
        EXPECT_EQ(big.color, 0x108080u) << "t = " << t;
    }
}
