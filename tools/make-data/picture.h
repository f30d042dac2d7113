#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An RGBA picture in the show's pixel layout: 0xAABBGGRR, pixel (x, y) at y * width + x.
// Alpha is 255 for opaque and 0 for transparent pixels; nothing in between.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

constexpr uint32_t kTransparent = 0;

// Opaque colour from 8-bit red, green and blue.
constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) {
    return 0xFF000000u | (b << 16) | (g << 8) | r;
}
// The same colour written 0xRRGGBB, as paint programs show it.
constexpr uint32_t hex(uint32_t rrggbb) {
    return rgb(rrggbb >> 16, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}

Picture makePicture(int width, int height, uint32_t fill);

bool isOpaque(uint32_t pixel);
// Every write is clipped to the picture; off-picture coordinates do nothing.
void setPixel(Picture& pic, int x, int y, uint32_t color);
uint32_t pixelAt(const Picture& pic, int x, int y);
void fillRect(Picture& pic, int x, int y, int w, int h, uint32_t color);
// Pixels whose centre lies inside the ellipse with centre (cx, cy) and radii rx, ry.
void fillEllipse(Picture& pic, double cx, double cy, double rx, double ry, uint32_t color);
// Pixels whose centre lies inside the polygon (even-odd rule); xy holds x0, y0, x1, y1, ...
void fillPolygon(Picture& pic, const std::vector<double>& xy, uint32_t color);
// One-pixel line between integer end points, both included.
void drawLine(Picture& pic, int x0, int y0, int x1, int y1, uint32_t color);

// Hand-authored pixel rows: each character is looked up in palette ("c" = colour for c);
// characters missing from the palette leave the pixel as it is.
struct PaletteEntry {
    char key;
    uint32_t color;
};
void drawRows(Picture& pic, int x, int y, const std::vector<std::string>& rows,
              const std::vector<PaletteEntry>& palette);

// Transparent pixels that touch an opaque one (4-neighbourhood) become color.
void outlineOpaque(Picture& pic, uint32_t color);
// Copies the opaque pixels of src onto dst with src's corner at (x, y).
void drawOver(Picture& dst, const Picture& src, int x, int y);

// 4 x 4 ordered-dither threshold in (0, 1) for pixel (x, y): a gradient value t picks
// the second colour where t exceeds it.
double ditherThreshold(int x, int y);
uint32_t ditherMix(uint32_t a, uint32_t b, double t, int x, int y);

// Deterministic pseudo-random numbers (xorshift32); the same seed gives the same sequence.
struct Rng {
    uint32_t state;
    explicit Rng(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    uint32_t next();
    // Uniform integer in [0, n).
    int below(int n);
};
