#pragma once
#include <cstdint>

// The one bitmap font: 68 glyphs of 5 x 5 pixels, 6 bytes each (rows 0 to 4, top first,
// bit 7 the leftmost column; byte 5 is 0 and never read).
constexpr int kGlyphCount = 68;
constexpr int kGlyphBytes = 6;
constexpr int kGlyphSize = 5;
constexpr int kGlyphAdvance = 6;
extern const uint8_t FONT_5x5[kGlyphCount * kGlyphBytes];

// Glyph of a text byte: codes 33 to 96 in order, lowercase letters as their capitals,
// then { | } ~. -1 for every byte without a glyph (space, control bytes, 127, 128 up).
int glyphIndex(unsigned char c);
