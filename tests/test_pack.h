#pragma once
// A picture for every image slot, made from numbers alone: distinct pictures, sizes that
// show clipping at the canvas edges, and alpha on both sides of the 0x80 threshold.
#include "assets/image_slots.h"
#include "gfx/argb_gfx.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace scenes_test {

// Picture number `id` filled with its own pattern; alpha cycles through 0x00, 0x7F,
// 0x80 and 0xFF so that the 0x80 threshold shows on both sides.
inline void fillPicture(ArgbGfx& slot, int32_t w, int32_t h, uint32_t id) {
    slot.allocate(w, h);
    static const uint32_t alphas[4] = {0x00, 0x7F, 0x80, 0xFF};
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t rgb =
                (id * 0x9E3779B1u + uint32_t(x) * 0x01000193u + uint32_t(y) * 0x2545F491u) >> 8;
            const uint32_t alpha = alphas[(uint32_t(x) * 3u + uint32_t(y) * 5u + id) % 4u];
            slot.pixels[size_t(y) * size_t(w) + size_t(x)] = alpha << 24 | rgb;
        }
}

// Every slot distinguishable, with sizes that show clipping at the canvas edges.
inline void fillTestPack() {
    fillPicture(imgBarf, 50, 40, 1);
    fillPicture(imgLonestar, 70, 66, 2);  // larger than the canvas
    fillPicture(imgGlasses, 128, 128, 3);
    fillPicture(imgDarkHelmet, 64, 64, 4);
    fillPicture(imgDarkHelmetNoMask, 64, 60, 5);
    fillPicture(imgRasberry, 24, 20, 6);
    for (uint32_t k = 0; k < uint32_t(kAnimFrameCount); ++k)
        fillPicture(animFrames[k], 64, 64, 100 + k);
    fillPicture(imgLowrezQr, 48, 48, 7);
}

inline void emptyTestPack() {
    for (ArgbGfx* slot : {&imgBarf, &imgLonestar, &imgGlasses, &imgDarkHelmet, &imgDarkHelmetNoMask,
                          &imgRasberry, &imgLowrezQr})
        slot->allocate(-1, -1);
    for (ArgbGfx& frame : animFrames) frame.allocate(-1, -1);
}

}  // namespace scenes_test
