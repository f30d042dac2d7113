#include "gfx/argb_gfx.h"
#include "gfx/lines.h"

#include "canvas_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Pixel {
    int32_t x, y;
    uint32_t value;
};

}  // namespace

// One or more points of one colour on a canvas of `fill`, and the whole expected canvas.
struct PointCase {
    const char* what;
    uint32_t fill;
    uint32_t color;
    std::vector<std::pair<float, float>> points;
    std::vector<Pixel> changed;
};

TEST(PlotSmooth, WeightsTruncationSaturationAndAlphaOverTheWholeCanvas) {
    const PointCase cases[] = {
        {"whole point: full weight, half (127.5, truncated) to right and below",
         0,
         0x00FFFFFF,
         {{5, 5}},
         {{5, 5, 0x00FFFFFF}, {6, 5, 0x007F7F7F}, {5, 6, 0x007F7F7F}}},
        {"every corner rewritten with alpha 0, even with nothing added",
         0xFF000000,
         0x00FFFFFF,
         {{5, 5}},
         {{5, 5, 0x00FFFFFF}, {6, 5, 0x007F7F7F}, {5, 6, 0x007F7F7F}, {6, 6, 0}}},
        {"colour 0 keeps red, green and blue and clears alpha",
         0xFF0000FF,
         0,
         {{20.25f, 30.75f}},
         {{20, 30, 0xFF}, {21, 30, 0xFF}, {20, 31, 0xFF}, {21, 31, 0xFF}}},
        {"halfway: four equal shares",
         0,
         0x000000FF,
         {{5.5f, 5.5f}},
         {{5, 5, 0x7F}, {6, 5, 0x7F}, {6, 6, 0x7F}, {5, 6, 0x7F}}},
        {"twice at one point: 255, not 510; 127 + 127",
         0,
         0x000000FF,
         {{5, 5}, {5, 5}},
         {{5, 5, 0xFF}, {6, 5, 0xFE}, {5, 6, 0xFE}}},
        {"channels weighted apart",
         0,
         0x002040E0,
         {{40, 12}},
         {{40, 12, 0x002040E0}, {41, 12, 0x00102070}, {40, 13, 0x00102070}}},
        // Weights 0.875, 0.625, 0.125 and 0.375 for red 224, green 64 and blue 32.
        {"a quarter to the right",
         0,
         0x002040E0,
         {{40.25f, 12}},
         {{40, 12, 0x001C38C4}, {41, 12, 0x0014288C}, {41, 13, 0x0004081C}, {40, 13, 0x000C1854}}},
        // Weights 0.75 (row 10) and 0.25 (row 11): 191.25 and 63.75.
        {"corners in column 64 skipped",
         0,
         0x00FFFFFF,
         {{63.5f, 10}},
         {{63, 10, 0x00BFBFBF}, {63, 11, 0x003F3F3F}}},
        // Truncation toward zero puts both -0.5 and 0.5 in column 0: 191 + 191 saturates.
        {"-0.5 lies in column 0 with its right corners",
         0,
         0x00FFFFFF,
         {{-0.5f, 10}},
         {{0, 10, 0x00FFFFFF}, {0, 11, 0x007E7E7E}}},
    };
    for (const PointCase& c : cases) {
        ArgbGfx canvas, expected;
        setUpCanvas(canvas, c.fill);
        canvas.color = c.color;
        for (const auto& point : c.points) canvas.plotSmooth(point.first, point.second);
        setUpCanvas(expected, c.fill);
        for (const Pixel& p : c.changed) expected.pixels[p.y * 64 + p.x] = p.value;
        EXPECT_TRUE(sameCanvas(canvas, expected)) << c.what;
        EXPECT_EQ(canvas.color, c.color) << c.what;
    }
}

TEST(PlotSmooth, WeightIsFormedInSinglePrecision) {
    // At (x, y) in the top-left pixel the first weight is 1 - (x + y) x 0.5. With x + y
    // rounded to single first it is 0.46103895, and red 154 x w = 71. The formula taken in
    // double and rounded once would give 0.46103892 and 70.99999 -> 70.
    ArgbGfx canvas;
    setUpCanvas(canvas);
    canvas.color = 154;
    canvas.plotSmooth(0x1.b9bb52p-1f, 0x1.b8a86p-3f);
    EXPECT_EQ(pixelAt(canvas, 0, 0), 71u);
}

TEST(PlotSmooth, PointsWithNoCornerOnTheCanvasWriteNothing) {
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    canvas.color = 0x00FFFFFF;
    // Down to -1, v + 1 still truncates to column (row) 0; from -2 nothing lies on it.
    for (float v : {-2.0f, -5.0f, 64.0f, 1e30f, -1e30f, kNaN, kInf, -kInf}) {
        canvas.plotSmooth(v, 10);
        canvas.plotSmooth(10, v);
        canvas.plotSmooth(v, v);
    }
    setUpCanvas(expected);
    EXPECT_TRUE(sameCanvas(canvas, expected));
}

TEST(LineSmooth, HorizontalLineLeavesOutItsEndPoint) {
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    canvas.color = 0x00FFFFFF;
    canvas.lineSmooth(10, 10, 20, 10);
    setUpCanvas(expected);
    for (int32_t x = 10; x < 20; ++x) {
        expected.pixels[10 * 64 + x] = 0x00FFFFFF;
        expected.pixels[11 * 64 + x] = 0x007F7F7F;
    }
    expected.pixels[10 * 64 + 20] = 0x007F7F7F;
    EXPECT_TRUE(sameCanvas(canvas, expected));
    EXPECT_EQ(canvas.color, 0x00FFFFFFu);
}

TEST(LineSmooth, ShortLinesDrawTheirStartAndFractionalSteps) {
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    canvas.color = expected.color = 0x00FFFFFF;
    canvas.lineSmooth(5, 5, 5, 5);
    expected.plotSmooth(5, 5);
    EXPECT_TRUE(sameCanvas(canvas, expected));

    // Length 2.5: two points, 1.25 apart.
    EXPECT_EQ(lineSmoothPointCount(2.5f, 0), 2);
    setUpCanvas(canvas);
    setUpCanvas(expected);
    canvas.lineSmooth(10, 10, 12.5f, 10);
    expected.plotSmooth(10, 10);
    expected.plotSmooth(11.25f, 10);
    EXPECT_TRUE(sameCanvas(canvas, expected));

    // A huge but finite length that does not fit 32 bits still draws its start point.
    setUpCanvas(canvas);
    setUpCanvas(expected);
    canvas.lineSmooth(5, 5, 1e30f, 5);
    expected.plotSmooth(5, 5);
    EXPECT_TRUE(sameCanvas(canvas, expected));
}

TEST(LineSmooth, WalkPointsAreASingleProductAndASingleSum) {
    // From 0.1 to 3.55: count 3, and point 1 is 0.1 + (1/3 as a float) x 3.45, each step
    // rounded to single: 1.25000012, whose weights 0.87499994 and 0.37499994 give red 8 x w
    // = 6 at (1, 10) and 2 at (1, 11). Taken in double and rounded once the point would be
    // exactly 1.25, giving 7 and 3.
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    canvas.color = 0x000008;
    canvas.lineSmooth(0.1f, 10, 3.55f, 10);
    // Points at 0.1, 1.25000012 and 2.4000001; weights 0.95/0.55, 0.875/0.625, 0.8/0.7 on
    // row 10 and what is left of them on row 11.
    const uint32_t row10[4] = {7, 4 + 6, 5 + 6, 5};
    const uint32_t row11[4] = {3, 0 + 2, 1 + 2, 1};
    for (int32_t x = 0; x < 4; ++x) {
        expected.pixels[10 * 64 + x] = row10[x];
        expected.pixels[11 * 64 + x] = row11[x];
    }
    EXPECT_TRUE(sameCanvas(canvas, expected));
}

TEST(LineSmooth, PointsOnTheBorderAreSkipped) {
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    canvas.color = expected.color = 0x00FFFFFF;
    canvas.lineSmooth(0, 10, 20, 10);
    for (int x = 1; x < 20; ++x) expected.plotSmooth(float(x), 10);
    EXPECT_TRUE(sameCanvas(canvas, expected));

    // Column 63 and row 63 are border too (strictly inside means below width - 1).
    setUpCanvas(canvas);
    canvas.lineSmooth(63, 5, 63, 60);
    canvas.lineSmooth(5, 63, 60, 63);
    setUpCanvas(expected);
    EXPECT_TRUE(sameCanvas(canvas, expected));
}

TEST(LineSmooth, LinesBeyondOneEdgeAreRejectedWhole) {
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    canvas.color = 0x00FFFFFF;
    canvas.lineSmooth(-1, 5, -20, 50);
    canvas.lineSmooth(65, 5, 100, 50);
    canvas.lineSmooth(5, -1, 50, -9);
    canvas.lineSmooth(5, 70, 50, 64.5f);
    // Passes the rejection, walks 21 points, none of them inside.
    EXPECT_EQ(lineSmoothPointCount(15, -15), 21);
    canvas.lineSmooth(-10, 5, 5, -10);
    EXPECT_TRUE(sameCanvas(canvas, expected));
}

TEST(LineSmooth, NonFiniteEndPointsDrawAtMostTheStart) {
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    canvas.color = 0x00FFFFFF;
    for (float bad : {kNaN, kInf, -kInf}) {
        canvas.lineSmooth(bad, 5, 10, 5);
        canvas.lineSmooth(5, bad, 5, 10);
        canvas.lineSmooth(bad, bad, bad, bad);
        // t x infinity is not a number even for t = 0, so not even the start is drawn.
        canvas.lineSmooth(5, 5, bad, 5);
        canvas.lineSmooth(5, 5, 5, bad);
    }
    EXPECT_TRUE(sameCanvas(canvas, expected));
    EXPECT_EQ(lineSmoothPointCount(kNaN, 1), 1);
    EXPECT_EQ(lineSmoothPointCount(kInf, 1), 1);
    EXPECT_EQ(lineSmoothPointCount(3e9f, 0), 1);
    EXPECT_EQ(lineSmoothPointCount(0.5f, 0.5f), 1);
    EXPECT_EQ(lineSmoothPointCount(2147483520.0f, 0), 2147483520);
}

TEST(LineSmooth, EmptyImageTakesNoPoints) {
    ArgbGfx empty;
    empty.plotSmooth(0, 0);
    empty.lineSmooth(-5, -5, 100, 100);
    lineSmoothLiteral(empty, -5, -5, 100, 100);
    EXPECT_EQ(empty.pixels, nullptr);
}

TEST(LineSmooth, PointWhoseRightCornerRoundsPastTheEdgeSkipsIt) {
    // On a 65-pixel-wide image the last float below 64 is strictly inside, but x + 1
    // rounds to 65, a column that does not exist: the right corners are skipped and
    // column 64 gets nothing.
    const float x = std::nextafter(64.0f, 0.0f);
    ASSERT_EQ(x + 1.0f, 65.0f);
    ArgbGfx fast, literal;
    for (ArgbGfx* image : {&fast, &literal}) {
        image->allocate(65, 8);
        image->clear();
        image->color = 0x00FFFFFF;
    }
    fast.lineSmooth(x, 3, x, 6.5f);
    lineSmoothLiteral(literal, x, 3, x, 6.5f);
    EXPECT_TRUE(sameCanvas(fast, literal));
    // The left corner is almost a pixel away: weight 1 - 0.999996 / 2 of 255 is 127.5...
    EXPECT_EQ(pixelAt(fast, 63, 3), 0x007F7F7Fu);
    for (int32_t y = 0; y < 8; ++y) EXPECT_EQ(pixelAt(fast, 64, y), 0u) << y;
}
