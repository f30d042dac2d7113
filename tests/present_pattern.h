#pragma once
#include <cstdint>

// The canvas that present_pattern shows, pixel (x, y) as 0xAABBGGRR. Every pixel is
// unique and no neighbour shares a channel value with it: red counts columns, green
// counts rows, blue alternates like a chessboard. Alpha varies in 2 x 2 squares between
// 0x00 and 0xFF, which must not show since the presenter never blends. Red is never 80,
// so no pixel can pass for the grey beside the square.
inline uint32_t presentPatternPixel(int32_t x, int32_t y) {
    const uint32_t red = uint32_t(4 * x + 2);
    const uint32_t green = uint32_t(4 * y + 1);
    const uint32_t blue = ((x + y) & 1) ? 0xC0u : 0x30u;
    const uint32_t alpha = ((x ^ y) & 2) ? 0xFFu : 0x00u;
    return alpha << 24 | blue << 16 | green << 8 | red;
}
