#include "assets/image_slots.h"
#include "demo/effects.h"
#include "canvas_support.h"

#include <algorithm>
#include <cmath>

namespace {

// Each glasses pixel names its own source column u and row v, with alpha 0xA5, so every
// canvas pixel tells where it came from.
uint32_t sourceCode(int32_t u, int32_t v) {
    return 0xA5000000u | uint32_t(v) << 8 | uint32_t(u);
}

void fillGlasses(int32_t w, int32_t h) {
    imgGlasses.allocate(w, h);
    for (int32_t v = 0; v < h; ++v)
        for (int32_t u = 0; u < w; ++u) imgGlasses.pixels[v * w + u] = sourceCode(u, v);
}

// Source column of canvas column c in canvas row r, before any picture-size limit.
int32_t sourceColumn(int32_t c, int32_t r) {
    const double u = std::trunc((64.0 * c - 2048) / (r + 1)) + 58;
    return int32_t(std::clamp(u, 0.0, 127.0));
}

int32_t sourceRow(int32_t r, double beat) {
    const double base = 64 - std::trunc(512 / std::sqrt(r + 1.0));
    return int32_t(std::clamp(std::trunc(base + (beat - 16) * 16), 0.0, 127.0));
}

class FloorZoomEffect : public ::testing::Test {
protected:
    void TearDown() override { imgGlasses.allocate(-1, -1); }
};

}  // namespace

TEST_F(FloorZoomEffect, TopRowColumns) {
    fillGlasses(128, 128);
    ArgbGfx canvas;
    setUpCanvas(canvas);
    floorZoomEffect(canvas, 16);
    for (int32_t c = 0; c < 64; ++c) {
        const int32_t u = c < 32 ? 0 : c == 32 ? 58 : c == 33 ? 122 : 127;
        EXPECT_EQ(pixelAt(canvas, c, 0), sourceCode(u, 0)) << "column " << c;
    }
    // The bottom row steps one source column per canvas column, 26 to 89.
    for (int32_t c = 0; c < 64; ++c)
        EXPECT_EQ(pixelAt(canvas, c, 63), sourceCode(26 + c, 0)) << "column " << c;
    // Column 32 shows source column 58 in every row.
    for (int32_t r = 0; r < 64; ++r) EXPECT_EQ(pixelAt(canvas, 32, r) & 0xFF, 58u) << "row " << r;
}

TEST_F(FloorZoomEffect, SourceRowsAtBeats16_24_31) {
    fillGlasses(128, 128);
    // Beat 31 (scroll 240), rows 0 to 8 worked by hand: base -448, -298, -231, -192, -164,
    // -145, -129, -117, -106.
    const int32_t beat31[9] = {0, 0, 9, 48, 76, 95, 111, 123, 127};
    for (double beat : {16.0, 24.0, 31.0}) {
        ArgbGfx canvas, expected;
        setUpCanvas(canvas);
        setUpCanvas(expected);
        floorZoomEffect(canvas, beat);
        for (int32_t r = 0; r < 64; ++r)
            for (int32_t c = 0; c < 64; ++c)
                expected.pixels[r * 64 + c] = sourceCode(sourceColumn(c, r), sourceRow(r, beat));
        EXPECT_TRUE(sameCanvas(canvas, expected)) << "beat " << beat;
        for (int32_t r = 0; r < 64; ++r) {
            const uint32_t v = (pixelAt(canvas, 0, r) >> 8) & 0xFF;
            if (beat == 16) {
                EXPECT_EQ(v, 0u) << "row " << r;
            } else if (beat == 24 && r >= 62) {
                EXPECT_EQ(v, 127u) << "row " << r;
            } else if (beat == 31) {
                EXPECT_EQ(v, uint32_t(beat31[std::min(r, 8)])) << "row " << r;
            }
        }
    }
}

TEST_F(FloorZoomEffect, SmallPictureIsClampedToItsOwnLastColumnAndRow) {
    fillGlasses(40, 30);
    ArgbGfx canvas, expected;
    setUpCanvas(canvas);
    setUpCanvas(expected);
    floorZoomEffect(canvas, 31);
    for (int32_t r = 0; r < 64; ++r)
        for (int32_t c = 0; c < 64; ++c)
            expected.pixels[r * 64 + c] =
                sourceCode(std::min(sourceColumn(c, r), 39), std::min(sourceRow(r, 31), 29));
    EXPECT_TRUE(sameCanvas(canvas, expected));

    fillGlasses(1, 1);
    floorZoomEffect(canvas, 20);
    for (int32_t i = 0; i < 64 * 64; ++i)
        ASSERT_EQ(canvas.pixels[i], sourceCode(0, 0)) << "pixel " << i;
}

TEST_F(FloorZoomEffect, WithoutPictureTheCanvasBecomesZero) {
    ArgbGfx canvas;
    setUpCanvas(canvas, 0xFFFFFFFF);
    floorZoomEffect(canvas, 20);
    EXPECT_EQ(countNonZero(canvas), 0);
}

TEST_F(FloorZoomEffect, WritesOnlyTheCanvasOwnTopLeft64By64) {
    fillGlasses(128, 128);
    ArgbGfx reference;
    setUpCanvas(reference);
    floorZoomEffect(reference, 22.5);

    ArgbGfx empty;
    floorZoomEffect(empty, 22.5);
    EXPECT_EQ(empty.pixels, nullptr);

    ArgbGfx small;
    setUpCanvas(small, 0x11111111, 20);
    floorZoomEffect(small, 22.5);
    for (int32_t r = 0; r < 20; ++r)
        for (int32_t c = 0; c < 20; ++c) ASSERT_EQ(pixelAt(small, c, r), pixelAt(reference, c, r));

    ArgbGfx large;
    setUpCanvas(large, 0x11111111, 80);
    floorZoomEffect(large, 22.5);
    for (int32_t r = 0; r < 80; ++r)
        for (int32_t c = 0; c < 80; ++c) {
            const uint32_t expected = r < 64 && c < 64 ? pixelAt(reference, c, r) : 0x11111111u;
            ASSERT_EQ(pixelAt(large, c, r), expected) << c << ", " << r;
        }
}

TEST_F(FloorZoomEffect, NonFiniteBeatsStayInsideThePicture) {
    // Scroll of -inf or NaN counts as row 0, +inf as row 127.
    fillGlasses(128, 128);
    const struct {
        double beat;
        uint32_t row;
    } cases[] = {{-INFINITY, 0}, {NAN, 0}, {INFINITY, 127}, {1e300, 127}, {-1e300, 0}};
    for (const auto& c : cases) {
        ArgbGfx canvas;
        setUpCanvas(canvas);
        floorZoomEffect(canvas, c.beat);
        for (int32_t r = 0; r < 64; ++r)
            ASSERT_EQ((pixelAt(canvas, 5, r) >> 8) & 0xFF, c.row) << "row " << r;
    }
}
