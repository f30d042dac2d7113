#include "assets/image_slots.h"
#include "demo/effects.h"
#include "canvas_support.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A 24 x 24 picture: opaque, distinct pixels with a transparent diagonal band.
void fillRasberry() {
    imgRasberry.allocate(24, 24);
    for (int32_t y = 0; y < 24; ++y)
        for (int32_t x = 0; x < 24; ++x) {
            const bool transparent = std::abs(x - y) < 3;
            imgRasberry.pixels[y * 24 + x] =
                transparent ? 0x7F00FF00u : 0xFF000000u | uint32_t(y << 8 | x);
        }
}

void modelSpokes(ArgbGfx& canvas, double beat) {
    canvas.clear();
    canvas.color = 0x2040E0;
    for (int i = 0; i < 10; ++i) {
        const double phi = std::sin(32.1 * i + 4) * beat + i;
        canvas.lineSmooth(32, 32, float(32 + 30 * std::sin(phi)), float(32 + 30 * std::cos(phi)));
    }
}

class SpokesEffect : public ::testing::Test {
protected:
    void TearDown() override { imgRasberry.allocate(-1, -1); }
};

}  // namespace

TEST_F(SpokesEffect, AtBeatZeroSpokeIPointsAtAngleIAndRasberryIsAtRow12) {
    fillRasberry();
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    spokesEffect(canvas, 0);
    expected.color = 0x2040E0;
    for (int i = 0; i < 10; ++i)
        expected.lineSmooth(32, 32, float(32 + 30 * std::sin(double(i))),
                            float(32 + 30 * std::cos(double(i))));
    blitMasked(expected, imgRasberry, 20, 12);
    EXPECT_TRUE(sameCanvas(canvas, expected));
    // Spoke 0 runs straight down: its last point (32, 61) gives (32, 62) half the colour.
    EXPECT_EQ(pixelAt(canvas, 32, 62), 0x00102070u);
    EXPECT_EQ(pixelAt(canvas, 32, 63), 0u);
    EXPECT_EQ(pixelAt(canvas, 20 + 5, 12), 0xFF000005u);
    EXPECT_EQ(canvas.color, 0x2040E0u);
}

TEST_F(SpokesEffect, ClearsTheCanvasFirst) {
    fillRasberry();
    ArgbGfx dirty, clean;
    setUpCanvas(dirty, 0xFFFFFFFF);
    setUpCanvas(clean);
    dirty.color = 0x12345678;
    spokesEffect(dirty, 0);
    spokesEffect(clean, 0);
    EXPECT_TRUE(sameCanvas(dirty, clean));
    EXPECT_EQ(dirty.color, 0x2040E0u);
}

TEST_F(SpokesEffect, RasberryRowIsTruncatedAndSpokesTurnAtTheirOwnSpeed) {
    // 18 - 6 cos(beat): 24 at pi, 16.7 (truncated to 16) at 1.352, 12 at 4 pi.
    fillRasberry();
    const struct {
        double beat;
        int32_t row;
    } cases[] = {{kPi, 24}, {1.352, 16}, {-1.352, 16}, {4 * kPi, 12}};
    for (const auto& c : cases) {
        ArgbGfx canvas, expected;
        setUpCanvas(canvas);
        setUpCanvas(expected);
        spokesEffect(canvas, c.beat);
        modelSpokes(expected, c.beat);
        blitMasked(expected, imgRasberry, 20, c.row);
        EXPECT_TRUE(sameCanvas(canvas, expected)) << "beat " << c.beat;
    }
}

TEST_F(SpokesEffect, WithoutRasberryOnlySpokes) {
    ArgbGfx canvas, expected;
    setUpCanvas(canvas, 0xABCDEF);
    setUpCanvas(expected);
    spokesEffect(canvas, 50.5);
    modelSpokes(expected, 50.5);
    EXPECT_TRUE(sameCanvas(canvas, expected));
}

TEST_F(SpokesEffect, NotANumberBeatOnlyClears) {
    fillRasberry();
    ArgbGfx canvas;
    setUpCanvas(canvas, 0xABCDEF);
    spokesEffect(canvas, std::nan(""));
    EXPECT_EQ(countNonZero(canvas), 0);
}
