#include "demo/effects.h"

#include "assets/image_slots.h"
#include "demo/frame_time.h"
#include "gfx/argb_gfx.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// The floor samples source columns and rows 0 to 127 of the picture.
constexpr int32_t kLastSourceIndex = 127;

// trunc(x), raised to 0 and lowered to `last`; NaN counts as 0.
int32_t clampedSourceIndex(double x, int32_t last) {
    if (!(x >= 0)) return 0;
    if (x > last) return last;
    return int32_t(x);
}

int32_t clampedSourceIndex(int32_t x, int32_t last) {
    return std::clamp(x, int32_t(0), last);
}

}  // namespace

// Writes the canvas's top-left 64 x 64 block, clipped to the canvas's own size. A
// picture smaller than 128 x 128 is sampled with its own last column and row as the
// bounds; with no picture the block becomes 0. A canvas without a buffer is untouched.
void floorZoomEffect(ArgbGfx& canvas, double beat) {
    if (!canvas.pixels) return;
    const int32_t rowCount = std::min(kCanvasSize, canvas.height);
    const int32_t columnCount = std::min(kCanvasSize, canvas.width);
    const ArgbGfx& glasses = imgGlasses;
    const bool hasPicture = glasses.pixels && glasses.width > 0 && glasses.height > 0;
    const int32_t lastColumn = std::min(kLastSourceIndex, glasses.width - 1);
    const int32_t lastRow = std::min(kLastSourceIndex, glasses.height - 1);

    // Source rows per beat: 16.
    const double scroll = (beat - 16) * 16;
    for (int32_t r = 0; r < rowCount; ++r) {
        uint32_t* out = canvas.pixels + size_t(r) * size_t(canvas.pitch);
        if (!hasPicture) {
            std::fill(out, out + columnCount, 0u);
            continue;
        }
        const int32_t n = r + 1;
        // -448 for the top row, 0 for the two bottom rows.
        const int32_t base = 64 - int32_t(512 / std::sqrt(double(n)));
        const int32_t v = clampedSourceIndex(base + scroll, lastRow);
        const uint32_t* source = glasses.pixels + size_t(v) * size_t(glasses.pitch);
        for (int32_t c = 0; c < columnCount; ++c) {
            const int32_t off = 64 * c - 2048;
            const int32_t u = clampedSourceIndex(off / n + 58, lastColumn);
            out[c] = source[u];
        }
    }
}
