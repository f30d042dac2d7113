#include "demo/effects.h"
#include "demo/effects/tunnel_square.h"
#include "canvas_support.h"
#include "warp_model.h"

#include <cmath>
#include <limits>

using namespace warp_model;

TEST(BoxTunnel, HalfSidesAtPhaseZero) {
    // The stated numbers: square 0 spans about 30.465 to 33.535, square 15 has r about 16.99.
    EXPECT_NEAR(tunnelSquare(0, 0).lo, 30.465, 0.0005);
    EXPECT_NEAR(tunnelSquare(0, 0).hi, 33.535, 0.0005);
    EXPECT_NEAR(32 - double(tunnelSquare(15, 0).lo), 16.99, 0.005);
    EXPECT_NEAR(double(tunnelSquare(15, 0).hi) - 32, 16.99, 0.005);
}

TEST(BoxTunnel, EndPointsAreRoundedOnceFromTheDoubleHalfSide) {
    // At phase 0, squares 10 and 13 have a half side whose single-precision rounding
    // would move lo by one unit in the last place: 32 - r and 32 + r are rounded once.
    struct Case {
        int square;
        float lo, hi, loIfHalfSideRounded;
    };
    const Case cases[] = {{10, 0x1.c19c2ep+4f, 0x1.1f31eap+5f, 0x1.c19c2cp+4f},
                          {13, 0x1.8bfa02p+4f, 0x1.3a02fep+5f, 0x1.8bfa04p+4f}};
    for (const Case& c : cases) {
        const TunnelSquare square = tunnelSquare(c.square, 0);
        EXPECT_EQ(square.lo, c.lo) << "square " << c.square;
        EXPECT_EQ(square.hi, c.hi) << "square " << c.square;
        EXPECT_EQ(modelSquareEnds(c.square, 0, TunnelRounding::HalfSideFirst).lo,
                  c.loIfHalfSideRounded);
    }
    // Every square at a spread of phases follows the same reading.
    for (double phase : {0.0, 0.15, 0.16, 0.535, 0.99, 3.7, -0.5})
        for (int i = 0; i < 16; ++i) {
            const SquareEnds model = modelSquareEnds(i, phase);
            EXPECT_EQ(tunnelSquare(i, phase).lo, model.lo) << "square " << i << ", phase " << phase;
            EXPECT_EQ(tunnelSquare(i, phase).hi, model.hi) << "square " << i << ", phase " << phase;
        }
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

TEST(BoxTunnel, TheRoundingShowsOnTheCanvasAtPhaseZero) {
    // The canvas with r rounded first differs in four pixels; the drawn one is the
    // canvas of the end points rounded once.
    ArgbGfx canvas, once, halfSideFirst;
    for (ArgbGfx* c : {&canvas, &once, &halfSideFirst}) {
        setUpCanvas(*c);
        c->color = 0x108080;
    }
    boxTunnel(canvas, 0);
    modelSquares(once, 0);
    modelSquares(halfSideFirst, 0, TunnelRounding::HalfSideFirst);
    EXPECT_TRUE(sameCanvas(canvas, once));
    int differing = 0;
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x)
            differing += pixelAt(once, x, y) != pixelAt(halfSideFirst, x, y);
    EXPECT_EQ(differing, 4);
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
    for (double phase : {std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity(), std::nan("")}) {
        ArgbGfx canvas;
        setUpCanvas(canvas);
        canvas.color = 0xFFFFFF;
        boxTunnel(canvas, phase);
        EXPECT_EQ(countNonZero(canvas), 0);
    }
}
