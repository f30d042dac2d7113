#include "gfx/argb_gfx.h"
#include "gfx/font_5x5.h"
#include "gfx/text.h"

#include "canvas_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// The glyph table as published, one row of text per character: code, then rows 0 to 4.
struct PublishedGlyph {
    int code;
    const char* rows;
};
const PublishedGlyph kPublishedGlyphs[] = {
    {33, "20 20 20 00 20"},  {34, "50 50 00 00 00"},  {35, "50 F8 50 F8 50"},
    {36, "78 A0 70 28 F0"},  {37, "00 90 20 40 90"},  {38, "40 A8 50 90 68"},
    {39, "20 20 00 00 00"},  {40, "20 40 40 40 20"},  {41, "20 10 10 10 20"},
    {42, "50 20 50 00 00"},  {43, "00 20 70 20 00"},  {44, "00 00 00 40 40"},
    {45, "00 00 70 00 00"},  {46, "00 00 00 00 40"},  {47, "08 10 20 40 80"},
    {48, "70 98 A8 C8 70"},  {49, "20 60 A0 20 F8"},  {50, "F0 08 70 80 F8"},
    {51, "F0 08 70 08 F0"},  {52, "80 90 90 F8 10"},  {53, "F8 80 F0 08 F0"},
    {54, "70 80 F0 88 70"},  {55, "F8 08 10 20 20"},  {56, "70 88 70 88 70"},
    {57, "70 88 78 08 70"},  {58, "00 40 00 40 00"},  {59, "00 40 00 40 40"},
    {60, "10 20 40 20 10"},  {61, "00 70 00 70 00"},  {62, "40 20 10 20 40"},
    {63, "C0 20 40 00 40"},  {64, "70 88 98 80 70"},  {65, "70 88 88 F8 88"},
    {66, "F0 88 F0 88 F0"},  {67, "78 80 80 80 78"},  {68, "F0 88 88 88 F0"},
    {69, "F8 80 E0 80 F8"},  {70, "F8 80 E0 80 80"},  {71, "F8 80 98 88 F8"},
    {72, "88 88 F8 88 88"},  {73, "F8 20 20 20 F8"},  {74, "18 08 08 88 70"},
    {75, "88 90 E0 90 88"},  {76, "80 80 80 80 F8"},  {77, "88 D8 A8 88 88"},
    {78, "88 C8 A8 98 88"},  {79, "70 88 88 88 70"},  {80, "F0 88 F0 80 80"},
    {81, "70 88 88 90 68"},  {82, "F0 88 F0 88 88"},  {83, "78 80 70 08 F0"},
    {84, "F8 20 20 20 20"},  {85, "88 88 88 88 70"},  {86, "88 88 50 50 20"},
    {87, "88 88 A8 A8 50"},  {88, "88 50 20 50 88"},  {89, "88 88 50 20 20"},
    {90, "F8 10 20 40 F8"},  {91, "60 40 40 40 60"},  {92, "80 40 20 10 08"},
    {93, "30 10 10 10 30"},  {94, "20 50 00 00 00"},  {95, "00 00 00 00 F8"},
    {96, "20 10 00 00 00"},  {123, "10 20 60 20 10"}, {124, "20 20 20 20 20"},
    {125, "40 20 30 20 40"}, {126, "00 28 50 00 00"},
};

constexpr uint32_t kBackground = 0x11223344;

// Reads the i-th hex byte of "20 20 20 00 20".
int rowByte(const char* rows, int i) {
    unsigned value = 0;
    std::sscanf(rows + 3 * i, "%2x", &value);
    return int(value);
}

void fill(ArgbGfx& canvas, uint32_t value, int32_t w = 64, int32_t h = 64) {
    canvas.allocate(w, h);
    for (int32_t i = 0; i < w * h; ++i) canvas.pixels[i] = value;
}

// Bounding box of the pixels that differ from the background.
struct Box {
    int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Box changedBox(const ArgbGfx& canvas) {
    Box box;
    for (int32_t y = 0; y < canvas.height; ++y)
        for (int32_t x = 0; x < canvas.width; ++x)
            if (pixelAt(canvas, x, y) != kBackground) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

}  // namespace

TEST(Font, EveryGlyphDrawsExactlyItsPublishedRows) {
    ASSERT_EQ(sizeof kPublishedGlyphs / sizeof kPublishedGlyphs[0], size_t(kGlyphCount));
    const uint32_t ink = 0x00ABCDEF;
    for (const PublishedGlyph& g : kPublishedGlyphs) {
        ArgbGfx canvas;
        fill(canvas, kBackground);
        canvas.color = ink;
        canvas.drawGlyph(10, 20, static_cast<unsigned char>(g.code));
        for (int32_t y = 0; y < 64; ++y)
            for (int32_t x = 0; x < 64; ++x) {
                const int r = y - 20, k = x - 10;
                const bool set =
                    r >= 0 && r < 5 && k >= 0 && k < 5 && (rowByte(g.rows, r) & (0x80 >> k));
                ASSERT_EQ(pixelAt(canvas, x, y), set ? ink : kBackground)
                    << "glyph of code " << g.code << " at cell (" << k << ", " << r << ")";
            }
        EXPECT_EQ(canvas.color, ink);
    }
}

TEST(Font, TableBytesFiveAreZero) {
    for (int g = 0; g < kGlyphCount; ++g)
        EXPECT_EQ(FONT_5x5[g * kGlyphBytes + 5], 0) << "glyph " << g;
}

TEST(Font, LowercaseDrawsTheCapitalsPixelForPixel) {
    ArgbGfx lower, upper;
    fill(lower, kBackground);
    fill(upper, kBackground);
    lower.color = upper.color = 0x003333FF;
    lower.drawText(1, 2, "abcdefghij");
    upper.drawText(1, 2, "ABCDEFGHIJ");
    lower.drawText(1, 10, "klmnopqrst");
    upper.drawText(1, 10, "KLMNOPQRST");
    lower.drawText(1, 18, "uvwxyz");
    upper.drawText(1, 18, "UVWXYZ");
    EXPECT_TRUE(sameCanvas(lower, upper));
}

TEST(Font, BytesWithoutGlyphDrawNothingButStillAdvance) {
    // Space, tab, line feed, DEL and bytes from 128 up: no pixels, 6-pixel advance each.
    const unsigned char blanks[] = {' ', '\t', '\n', 127, 128, 200, 255, 1};
    for (unsigned char blank : blanks) {
        ArgbGfx canvas, expected;
        fill(canvas, kBackground);
        fill(expected, kBackground);
        canvas.color = expected.color = 0x00FFFFFF;
        canvas.drawGlyph(30, 30, blank);
        EXPECT_TRUE(sameCanvas(canvas, expected)) << "byte " << int(blank);
        const char text[] = {'A', char(blank), 'B', 0};
        canvas.drawText(3, 3, text);
        expected.drawGlyph(3, 3, 'A');
        expected.drawGlyph(15, 3, 'B');
        EXPECT_TRUE(sameCanvas(canvas, expected)) << "byte " << int(blank);
    }
    ArgbGfx canvas, untouched;
    fill(canvas, kBackground);
    fill(untouched, kBackground);
    canvas.drawGlyph(0, 0, 0);
    EXPECT_TRUE(sameCanvas(canvas, untouched));
}

TEST(Font, TildeAndVerticalLineAreTheLastGlyphs) {
    EXPECT_EQ(glyphIndex('~'), 67);
    EXPECT_EQ(glyphIndex('|'), 65);
    EXPECT_EQ(glyphIndex('{'), 64);
    EXPECT_EQ(glyphIndex('`'), 63);
    EXPECT_EQ(glyphIndex('!'), 0);
    EXPECT_EQ(glyphIndex('a'), glyphIndex('A'));
    EXPECT_EQ(glyphIndex('z'), 57);
    // The vertical line is the middle column of its cell and nothing else.
    ArgbGfx canvas;
    fill(canvas, kBackground, 8, 8);
    canvas.color = 0x00FFFFFF;
    canvas.drawGlyph(1, 1, '|');
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x)
            EXPECT_EQ(pixelAt(canvas, x, y),
                      (x == 3 && y >= 1 && y <= 5) ? 0x00FFFFFFu : kBackground)
                << x << ", " << y;
}

TEST(Font, TextCoversItsCellsAndOutlinedTextOneMore) {
    // "HM" and friends use the first and last column and row of their cells.
    const char* texts[] = {"H", "HM", "MHHM", "HHHHHHHHHH"};
    for (const char* text : texts) {
        const int32_t n = int32_t(std::string(text).size());
        ArgbGfx plain, outlined;
        fill(plain, kBackground);
        fill(outlined, kBackground);
        plain.color = 0x0066FFFF;
        plain.drawText(2, 24, text);
        drawOutlinedText(outlined, 2, 24, text, 0x0066FFFF);
        const Box p = changedBox(plain), o = changedBox(outlined);
        EXPECT_EQ(p.left, 2);
        EXPECT_EQ(p.right, 2 + 6 * n - 2) << text;
        EXPECT_EQ(p.top, 24);
        EXPECT_EQ(p.bottom, 28);
        EXPECT_EQ(o.left, 2);
        EXPECT_EQ(o.right, 2 + 6 * n - 1) << text;
        EXPECT_EQ(o.top, 24);
        EXPECT_EQ(o.bottom, 29);
    }
}

TEST(Font, GlyphsAreClippedAtEveryEdgeWithoutWrapping) {
    // The same glyph on a large canvas, shifted, is the reference for what must survive.
    const int32_t cells[][2] = {{61, 10}, {10, 62}, {62, 62}, {-3, 10},
                                {10, -2}, {-4, -4}, {64, 0},  {0, 64}};
    for (const auto& cell : cells) {
        ArgbGfx canvas, big;
        fill(canvas, kBackground);
        fill(big, kBackground, 80, 80);
        canvas.color = big.color = 0x0030FF60;
        canvas.drawGlyph(cell[0], cell[1], '#');
        big.drawGlyph(cell[0] + 8, cell[1] + 8, '#');
        for (int32_t y = 0; y < 64; ++y)
            for (int32_t x = 0; x < 64; ++x)
                ASSERT_EQ(pixelAt(canvas, x, y), pixelAt(big, x + 8, y + 8))
                    << "cell (" << cell[0] << ", " << cell[1] << "), pixel " << x << ", " << y;
    }
    // Extreme positions draw nothing and do not overflow.
    ArgbGfx canvas, untouched;
    fill(canvas, kBackground);
    fill(untouched, kBackground);
    canvas.drawText(INT32_MAX - 3, INT32_MAX - 2, "WWW");
    canvas.drawText(INT32_MIN, INT32_MIN, "WWW");
    drawOutlinedText(canvas, INT32_MAX, INT32_MAX, "WWW", 0x00FFFFFF);
    EXPECT_TRUE(sameCanvas(canvas, untouched));
}

TEST(Font, OutlinedTextIsTextOverAShadowRightAndBelow) {
    const char* text = "jam it";
    const uint32_t ink = 0x003333FF;
    ArgbGfx actual, mask, expected;
    fill(actual, kBackground);
    actual.color = 0x00FF8866;
    drawOutlinedText(actual, 21, 34, text, ink);
    EXPECT_EQ(actual.color, 0x00FF8866u);

    // Composed independently: the text's own pixels, then the shadow ring around them.
    fill(mask, 0);
    mask.color = 1;
    mask.drawText(21, 34, text);
    fill(expected, kBackground);
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x) {
            const bool inkHere = pixelAt(mask, x, y) == 1;
            const bool shadow = (x > 0 && pixelAt(mask, x - 1, y) == 1) ||
                                (x > 0 && y > 0 && pixelAt(mask, x - 1, y - 1) == 1) ||
                                (y > 0 && pixelAt(mask, x, y - 1) == 1);
            if (inkHere)
                expected.pixels[y * 64 + x] = ink;
            else if (shadow)
                expected.pixels[y * 64 + x] = 0x00000000;
        }
    EXPECT_TRUE(sameCanvas(actual, expected));
}

TEST(Font, EmptyOutlinedTextDrawsNothingAndKeepsTheColour) {
    ArgbGfx canvas, untouched;
    fill(canvas, kBackground);
    fill(untouched, kBackground);
    canvas.color = 0x00FF8866;
    drawOutlinedText(canvas, 2, 24, "", 0x00FFFFFF);
    EXPECT_EQ(canvas.color, 0x00FF8866u);
    EXPECT_TRUE(sameCanvas(canvas, untouched));
}

TEST(Font, GlyphPixelsCarryTheColoursAlphaUnchanged) {
    ArgbGfx canvas;
    fill(canvas, 0);
    canvas.color = 0xAB123456;
    canvas.drawGlyph(0, 0, 'I');
    EXPECT_EQ(pixelAt(canvas, 0, 0), 0xAB123456u);
    EXPECT_EQ(pixelAt(canvas, 2, 2), 0xAB123456u);
    EXPECT_EQ(pixelAt(canvas, 0, 2), 0u);
}

TEST(Font, TextIntoAnEmptyImageWritesNothing) {
    ArgbGfx empty;
    empty.drawText(0, 0, "anything");
    drawOutlinedText(empty, 0, 0, "anything", 0x00FFFFFF);
    EXPECT_EQ(empty.pixels, nullptr);
    EXPECT_EQ(empty.color, 0xFFFFFFFFu);
}
