#pragma once
// Canvas helpers shared by the drawing tests.
#include "gfx/argb_gfx.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

// A 64 x 64 canvas as the frame sets it up: every pixel `fill`, colour 0.
inline void setUpCanvas(ArgbGfx& canvas, uint32_t fill = 0, int32_t size = 64) {
    canvas.allocate(size, size);
    canvas.color = 0;
    for (int32_t i = 0; i < size * size; ++i) canvas.pixels[i] = fill;
}

// Same size and every pixel equal; on failure names the first differing pixel.
inline ::testing::AssertionResult sameCanvas(const ArgbGfx& actual, const ArgbGfx& expected) {
    if (actual.width != expected.width || actual.height != expected.height)
        return ::testing::AssertionFailure() << "sizes differ";
    int differing = 0;
    char first[96] = "";
    for (int32_t y = 0; y < actual.height; ++y)
        for (int32_t x = 0; x < actual.width; ++x) {
            const uint32_t a = actual.pixels[size_t(y) * size_t(actual.pitch) + size_t(x)];
            const uint32_t e = expected.pixels[size_t(y) * size_t(expected.pitch) + size_t(x)];
            if (a != e && differing++ == 0)
                std::snprintf(first, sizeof first, "(%d, %d) is 0x%08X, expected 0x%08X", x, y, a,
                              e);
        }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, first " << first;
}

inline uint32_t pixelAt(const ArgbGfx& canvas, int32_t x, int32_t y) {
    return canvas.pixels[size_t(y) * size_t(canvas.pitch) + size_t(x)];
}

inline int countNonZero(const ArgbGfx& canvas) {
    int n = 0;
    for (int32_t y = 0; y < canvas.height; ++y)
        for (int32_t x = 0; x < canvas.width; ++x) n += pixelAt(canvas, x, y) != 0;
    return n;
}

// No buffer and all four sizes 0.
inline void expectEmpty(const ArgbGfx& image) {
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.pitch, 0);
    EXPECT_EQ(image.rows, 0);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
}
