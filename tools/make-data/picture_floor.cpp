// The floor texture. The floor effect shows one texture row per canvas row and scrolls
// 16 rows per beat, so a 16-pixel tile passes once per beat; row 127 ends up stretched
// over most of the floor, so its columns still alternate to keep the perspective lines.
#include "pictures.h"

namespace {

constexpr int kFloorSize = 128;
constexpr int kTile = 16;

struct GlassTone {
    uint32_t highlight, light, body, deep, shade;
};

}  // namespace

Picture drawGlasses() {
    Picture pic = makePicture(kFloorSize, kFloorSize, kTransparent);
    const GlassTone cyan = {hex(0xE0FFFF), hex(0x8CE8F4), hex(0x38B8D8), hex(0x2890B8),
                            hex(0x145878)};
    const GlassTone violet = {hex(0xFFE0FF), hex(0xC890F0), hex(0x8050D0), hex(0x6438A8),
                              hex(0x38186C)};
    const uint32_t grout = hex(0x0C1020);

    for (int y = 0; y < kFloorSize; ++y) {
        for (int x = 0; x < kFloorSize; ++x) {
            int tx = x / kTile, ty = y / kTile;
            int u = x % kTile, v = y % kTile;
            const GlassTone& tone = ((tx + ty) & 1) ? violet : cyan;
            // Body darkens slightly towards the lower right, dithered.
            uint32_t c = ditherMix(tone.body, tone.deep, (u + v - 8) / 20.0, x, y);
            // A diagonal glint across the upper left of each block.
            int d = u + v;
            if (d >= 8 && d <= 9 && u >= 2 && v >= 2) c = tone.light;
            if (d == 5 && u >= 2 && v >= 2) c = tone.light;
            // Bevel: bright upper and left rims, dark lower and right rims.
            if (v == 1 || u == 1) c = tone.light;
            if (v == 1 && u == 1) c = tone.highlight;
            if (v == 15 || u == 15) c = tone.shade;
            // Grout on the top and left of every block.
            if (v == 0 || u == 0) c = grout;
            setPixel(pic, x, y, c);
        }
    }
    return pic;
}
