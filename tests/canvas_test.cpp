#include "gfx/argb_gfx.h"

#include "canvas_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Fills an image with distinct values, so any misplaced write shows.
void fillPattern(ArgbGfx& image, uint32_t base) {
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x)
            image.pixels[y * image.pitch + x] = base + uint32_t(y * 1000 + x);
}

std::vector<uint32_t> snapshot(const ArgbGfx& image) {
    return std::vector<uint32_t>(image.pixels, image.pixels + image.pitch * image.rows);
}

}  // namespace

TEST(ArgbGfx, NewImageIsEmptyWithOpaqueWhiteColour) {
    ArgbGfx image;
    expectEmpty(image);
    EXPECT_EQ(image.color, 0xFFFFFFFFu);
}

TEST(ArgbGfx, AllocateSetsAllFourSizesAndReplacesTheBuffer) {
    ArgbGfx image;
    image.allocate(64, 64);
    ASSERT_NE(image.pixels, nullptr);
    EXPECT_EQ(image.pitch, 64);
    EXPECT_EQ(image.rows, 64);
    EXPECT_EQ(image.width, 64);
    EXPECT_EQ(image.height, 64);
    image.pixels[64 * 64 - 1] = 7;  // the last pixel is inside the buffer (ASan checks)
    image.allocate(3, 5);
    EXPECT_EQ(image.pitch, 3);
    EXPECT_EQ(image.rows, 5);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 5);
    image.pixels[14] = 1;
    EXPECT_EQ(image.color, 0xFFFFFFFFu);
}

TEST(ArgbGfx, ImpossibleSizesLeaveTheImageEmpty) {
    // Negative sizes, and byte counts beyond any address space, free the old buffer
    // and leave an empty image that every operation treats as harmless.
    const int32_t cases[][2] = {{-1, 4}, {4, -1}, {-5, -5}, {INT32_MAX, INT32_MAX}};
    for (const auto& c : cases) {
        ArgbGfx image;
        image.allocate(8, 8);
        image.color = 0x12345678;
        image.allocate(c[0], c[1]);
        expectEmpty(image);
        EXPECT_EQ(image.color, 0x12345678u);
        image.clear();
        ArgbGfx source;
        source.allocate(2, 2);
        fillPattern(source, 0xFF000000u);
        blitMasked(image, source, 0, 0);
    }
}

TEST(ArgbGfx, FrameCanvasSetUpIsAllZero) {
    ArgbGfx canvas;
    canvas.allocate(64, 64);
    canvas.color = 0;
    fillPattern(canvas, 1);
    canvas.clear();
    for (int i = 0; i < 64 * 64; ++i) ASSERT_EQ(canvas.pixels[i], 0u) << i;
    EXPECT_EQ(canvas.color, 0u);
}

TEST(ArgbGfx, ClearKeepsColourAndStaysInsideWidthWhenPitchIsWider) {
    // A hand-built image whose pitch exceeds its width: the columns past width are
    // outside the image and must survive a clear.
    ArgbGfx image;
    image.allocate(6, 3);
    fillPattern(image, 0x100);
    image.width = 4;
    image.color = 0xAABBCCDD;
    image.clear();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(image.pixels[y * 6 + x], x < 4 ? 0u : 0x100u + uint32_t(y * 1000 + x));
    EXPECT_EQ(image.color, 0xAABBCCDDu);
    image.width = 6;
}

TEST(BlitMasked, CopiesOnlyPixelsWithAlphaOfAtLeast0x80) {
    ArgbGfx target;
    target.allocate(4, 1);
    for (int i = 0; i < 4; ++i) target.pixels[i] = 0x11111111;
    ArgbGfx source;
    source.allocate(4, 1);
    source.pixels[0] = 0x80000000u;  // alpha 0x80: opaque
    source.pixels[1] = 0x7FFFFFFFu;  // alpha 0x7F: transparent
    source.pixels[2] = 0xFF0000FFu;
    source.pixels[3] = 0x00FFFFFFu;
    target.color = 0x01020304;
    blitMasked(target, source, 0, 0);
    EXPECT_EQ(target.pixels[0], 0x80000000u);
    EXPECT_EQ(target.pixels[1], 0x11111111u);
    EXPECT_EQ(target.pixels[2], 0xFF0000FFu);
    EXPECT_EQ(target.pixels[3], 0x11111111u);
    EXPECT_EQ(target.color, 0x01020304u);
}

struct ClipCase {
    int32_t x, y;
    int32_t copiedColumns, copiedRows;  // of the source, from its top-left corner
};

class BlitClip : public testing::TestWithParam<ClipCase> {};

TEST_P(BlitClip, ClipsAtTheRightAndBottomEdgesAndRestoresColour) {
    const ClipCase c = GetParam();
    ArgbGfx canvas;
    canvas.allocate(64, 64);
    canvas.clear();
    canvas.color = 0x00FF8866;
    ArgbGfx picture;
    picture.allocate(64, 64);
    fillPattern(picture, 0x80000000u);
    blitMasked(canvas, picture, c.x, c.y);
    for (int32_t ty = 0; ty < 64; ++ty) {
        for (int32_t tx = 0; tx < 64; ++tx) {
            const int32_t sx = tx - c.x, sy = ty - c.y;
            const bool copied = sx >= 0 && sy >= 0 && sx < c.copiedColumns && sy < c.copiedRows;
            const uint32_t expected = copied ? 0x80000000u + uint32_t(sy * 1000 + sx) : 0u;
            ASSERT_EQ(canvas.pixels[ty * 64 + tx], expected) << tx << "," << ty;
        }
    }
    EXPECT_EQ(canvas.color, 0x00FF8866u);
}

INSTANTIATE_TEST_SUITE_P(Edges, BlitClip,
                         testing::Values(ClipCase{0, 0, 64, 64}, ClipCase{0, 40, 64, 24},
                                         ClipCase{40, 0, 24, 64}, ClipCase{0, 64, 0, 0},
                                         ClipCase{64, 0, 0, 0}, ClipCase{63, 63, 1, 1},
                                         ClipCase{1000, 1000, 0, 0}));

TEST(BlitMasked, SourcePitchWiderThanWidthIsHonoured) {
    // The source is addressed through its own pitch: the two hidden columns must not
    // be drawn, and every row must start at its own pitch offset.
    ArgbGfx source;
    source.allocate(5, 2);
    fillPattern(source, 0xFF000000u);
    source.width = 3;
    ArgbGfx target;
    target.allocate(8, 4);
    target.clear();
    blitMasked(target, source, 2, 1);
    const uint32_t expected[4][8] = {
        {0, 0, 0, 0, 0, 0, 0, 0},
        {0, 0, 0xFF000000u, 0xFF000001u, 0xFF000002u, 0, 0, 0},
        {0, 0, 0xFF0003E8u, 0xFF0003E9u, 0xFF0003EAu, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(target.pixels[y * 8 + x], expected[y][x]);
    source.width = 5;
}

TEST(BlitMasked, EmptyOrZeroSizedSourcesChangeNothing) {
    ArgbGfx target;
    target.allocate(8, 8);
    fillPattern(target, 5);
    const std::vector<uint32_t> before = snapshot(target);
    ArgbGfx empty;
    blitMasked(target, empty, 0, 0);
    ArgbGfx zeroWide;
    zeroWide.allocate(0, 8);
    blitMasked(target, zeroWide, 0, 0);
    ArgbGfx zeroHigh;
    zeroHigh.allocate(8, 0);
    blitMasked(target, zeroHigh, 0, 0);
    EXPECT_EQ(snapshot(target), before);
}

TEST(BlitMasked, NegativePositionsWriteOnlyInsideTheTarget) {
    ArgbGfx target;
    target.allocate(4, 4);
    target.clear();
    ArgbGfx source;
    source.allocate(3, 3);
    fillPattern(source, 0x80000000u);
    blitMasked(target, source, -2, -1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const int sx = x + 2, sy = y + 1;
            const uint32_t expected =
                sx < 3 && sy < 3 ? 0x80000000u + uint32_t(sy * 1000 + sx) : 0u;
            EXPECT_EQ(target.pixels[y * 4 + x], expected);
        }
}
