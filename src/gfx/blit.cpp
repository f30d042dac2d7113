#include "gfx/argb_gfx.h"

#include <cstddef>

void blitMasked(ArgbGfx& target, const ArgbGfx& source, int32_t x, int32_t y) {
    const uint32_t savedColor = target.color;
    if (target.pixels && source.pixels) {
        for (int32_t i = 0; i < source.height; ++i) {
            const int64_t ty = int64_t(y) + i;
            if (ty >= target.height) break;  // every later row lies further down
            if (ty < 0) continue;
            const uint32_t* src = source.pixels + size_t(i) * size_t(source.pitch);
            uint32_t* dst = target.pixels + size_t(ty) * size_t(target.pitch);
            for (int32_t j = 0; j < source.width; ++j) {
                const int64_t tx = int64_t(x) + j;
                if (tx >= target.width) break;
                if (tx < 0) continue;
                const uint32_t p = src[j];
                if (p & 0x80000000u) {
                    target.color = p;
                    dst[tx] = target.color;
                }
            }
        }
    }
    target.color = savedColor;
}
