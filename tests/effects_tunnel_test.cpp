#include "demo/effects.h"
#include "canvas_support.h"

#include <cmath>
#include <limits>

namespace {

// Half side of square i: f is the fractional part by truncation, so it keeps the sign.
double halfSide(int i, double phase) {
    const double v = i * 0.06125 + phase;
    const double f = v - std::trunc(v);
    return 0.05 / (1.01 - f) * 31;
}

void modelSquares(ArgbGfx& canvas, double phase) {
    for (int i = 0; i < 16; ++i) {
        const float r = float(halfSide(i, phase));
        const float lo = 32.0f - r, hi = 32.0f + r;
        canvas.lineSmooth(lo, lo, hi, lo);  // top
        canvas.lineSmooth(lo, hi, hi, hi);  // bottom
        canvas.lineSmooth(lo, lo, lo, hi);  // left
        canvas.lineSmooth(hi, lo, hi, hi);  // right
    }
}

}  // namespace

TEST(BoxTunnel, HalfSidesAtPhaseZero) {
    // The model's numbers are the stated ones: square 0 about 1.535, square 15 about 16.99.
    EXPECT_NEAR(halfSide(0, 0), 1.535, 0.0005);
    EXPECT_NEAR(32.0f - float(halfSide(0, 0)), 30.465, 0.0005);
    EXPECT_NEAR(32.0f + float(halfSide(0, 0)), 33.535, 0.0005);
    EXPECT_NEAR(halfSide(15, 0), 16.99, 0.005);
}

TEST(BoxTunnel, DrawsSixteenSquaresInTheCurrentColour) {
    // Negative phases keep a negative fractional part, which shrinks the squares.
    for (double phase : {0.0, 0.15, 0.535, 0.99, 3.7, -0.5}) {
        ArgbGfx canvas, expected;
        setUpCanvas(canvas);
        setUpCanvas(expected);
        canvas.color = expected.color = 0x108080;
        boxTunnel(canvas, phase);
        modelSquares(expected, phase);
        EXPECT_TRUE(sameCanvas(canvas, expected)) << "phase " << phase;
        EXPECT_EQ(canvas.color, 0x108080u);
    }
}

TEST(BoxTunnel, CornerLoLoGetsTwoPointsAndHiHiNone) {
    // At phase 0 square 15 (lo about 15.014, hi about 48.986) stands apart from the
    // others (the next is 10.2 wide), so its corners can be read off. Red 100 at weight
    // 0.9863 adds 98 per point.
    ArgbGfx canvas;
    setUpCanvas(canvas);
    canvas.color = 0x000064;
    boxTunnel(canvas, 0);
    // Top and left edges both start at (lo, lo).
    EXPECT_EQ(pixelAt(canvas, 15, 15), 196u);
    // Right edge starts at (hi, lo), bottom edge at (lo, hi): one point each.
    EXPECT_EQ(pixelAt(canvas, 49, 15), 98u);
    EXPECT_EQ(pixelAt(canvas, 15, 49), 98u);
    // No edge reaches (hi, hi): only the last points of bottom and right edges, 1.03
    // pixels short of it, touch pixel (48, 48), and nothing reaches (49, 49).
    EXPECT_EQ(pixelAt(canvas, 49, 49), 0u);
    EXPECT_EQ(pixelAt(canvas, 48, 48), 96u);
}

TEST(BoxTunnel, NonFinitePhaseDrawsNothing) {
    for (double phase : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::nan("")}) {
        ArgbGfx canvas;
        setUpCanvas(canvas);
        canvas.color = 0xFFFFFF;
        boxTunnel(canvas, phase);
        EXPECT_EQ(countNonZero(canvas), 0);
    }
}
