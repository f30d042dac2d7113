#include "gfx/text.h"

#include "gfx/font_5x5.h"

#include <cstddef>

void ArgbGfx::drawGlyph(int32_t x, int32_t y, unsigned char c) {
    const int glyph = glyphIndex(c);
    if (glyph < 0 || !pixels) return;
    const uint8_t* rowBits = FONT_5x5 + glyph * kGlyphBytes;
    for (int r = 0; r < kGlyphSize; ++r) {
        const int64_t py = int64_t(y) + r;
        if (py < 0 || py >= height) continue;
        for (int k = 0; k < kGlyphSize; ++k) {
            const int64_t px = int64_t(x) + k;
            if (px < 0 || px >= width) continue;
            if (rowBits[r] & (0x80 >> k)) pixels[size_t(py) * size_t(pitch) + size_t(px)] = color;
        }
    }
}

void ArgbGfx::drawText(int32_t x, int32_t y, const char* text) {
    for (int64_t i = 0; text[i]; ++i) {
        // Every byte advances, whether or not it has a glyph.
        const int64_t cellX = int64_t(x) + kGlyphAdvance * i;
        if (cellX >= width) return;  // this cell and all later ones lie right of the image
        if (cellX > -kGlyphSize) drawGlyph(int32_t(cellX), y, static_cast<unsigned char>(text[i]));
    }
}

namespace {
// One pixel further; at the edge of the range nothing is visible anyway.
int32_t nextPixel(int32_t v) {
    return v < INT32_MAX ? v + 1 : v;
}
}  // namespace

void drawOutlinedText(ArgbGfx& target, int32_t x, int32_t y, const char* text, uint32_t color) {
    const uint32_t savedColor = target.color;
    target.color = 0x00000000;
    target.drawText(nextPixel(x), y, text);
    target.drawText(nextPixel(x), nextPixel(y), text);
    target.drawText(x, nextPixel(y), text);
    target.color = color;
    target.drawText(x, y, text);
    target.color = savedColor;
}
