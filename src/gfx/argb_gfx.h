#pragma once
#include <cstdint>

// A bitmap of 32-bit pixels 0xAABBGGRR (bytes R, G, B, A in memory) with a current
// drawing colour. Pixel (x, y) is element y * pitch + x of pixels. Every allocation
// sets pitch = width and rows = height. An empty image has no buffer and all sizes 0.
class ArgbGfx {
public:
    ArgbGfx();
    ~ArgbGfx();
    ArgbGfx(const ArgbGfx&) = delete;
    ArgbGfx& operator=(const ArgbGfx&) = delete;

    // Fresh, uninitialised buffer of w x h pixels, the old one freed first. Negative
    // sizes, a byte count that overflows, or an allocator failure leave the image empty.
    void allocate(int32_t w, int32_t h);
    // Every pixel of the width x height area becomes 0; color is untouched.
    void clear();

    // Text in the current colour, 5 x 5 glyphs with a 6-pixel advance, clipped to the image.
    void drawGlyph(int32_t x, int32_t y, unsigned char c);
    void drawText(int32_t x, int32_t y, const char* text);

    // Additive, saturating anti-aliased point and line in the current colour.
    void plotSmooth(float x, float y);
    void lineSmooth(float x0, float y0, float x1, float y1);

    int32_t pitch;
    int32_t rows;
    uint32_t* pixels;
    int32_t width;
    int32_t height;
    uint32_t color;
};

// Copies the source pixels whose alpha is 0x80 or more onto target with the source's
// top-left corner at (x, y), clipped to the target. The target's color is unchanged.
void blitMasked(ArgbGfx& target, const ArgbGfx& source, int32_t x, int32_t y);
