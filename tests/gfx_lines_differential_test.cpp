// The fast line walk against the literal one, over many seeded lines of every kind:
// whole canvases must match bit for bit after every line.
#include "gfx/argb_gfx.h"
#include "gfx/lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

#ifdef INTRO_SANITIZED_BUILD
constexpr int kLines = 100000;  // the instrumented build is many times slower
#else
constexpr int kLines = 1000000;
#endif
// Lines drawn over one another before both canvases start again from black.
constexpr int kLinesPerCanvas = 64;

// xorshift64*: the same sequence on every platform and library.
struct Random {
    uint64_t state;
    uint64_t next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 2685821657736338717ull;
    }
    float uniform(float lo, float hi) {
        return lo + float(double(next() >> 11) * 0x1p-53) * (hi - lo);
    }
    int below(int n) { return int(next() % uint64_t(n)); }
};

// A coordinate on or next to a border of a canvas `size` wide: 0, size - 1, size, and
// the floats right beside them.
float nearBorder(Random& r, int32_t size) {
    const float anchors[] = {0.0f, float(size - 1), float(size), 1.0f, -1.0f};
    float v = anchors[r.below(5)];
    switch (r.below(3)) {
    case 0: return v;
    case 1: return std::nextafter(v, 1e9f);
    default: return std::nextafter(v, -1e9f);
    }
}

float oddValue(Random& r) {
    const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            1e30f,
                            -1e30f,
                            3e9f,
                            -3e9f,
                            std::numeric_limits<float>::denorm_min(),
                            -0.0f,
                            4096.5f};
    return values[r.below(10)];
}

struct Line {
    float x0, y0, x1, y1;
};

// maxLength bounds the long kinds of line: the literal walk costs one step per pixel.
Line randomLine(Random& r, int32_t w, int32_t h, float maxLength) {
    const float far = maxLength * 0.5f;
    Line l{};
    switch (r.below(8)) {
    case 0:  // inside and around the canvas
        l = {r.uniform(-3, w + 3.0f), r.uniform(-3, h + 3.0f), r.uniform(-3, w + 3.0f),
             r.uniform(-3, h + 3.0f)};
        break;
    case 1: {  // a spoke from the centre, up to thousands of pixels long
        const float angle = r.uniform(0, 6.2832f), length = r.uniform(0, maxLength);
        l = {w * 0.5f, h * 0.5f, w * 0.5f + length * std::sin(angle),
             h * 0.5f + length * std::cos(angle)};
        break;
    }
    case 2:  // crossing the canvas from far outside
        l = {r.uniform(-far, far), r.uniform(-far, far), r.uniform(-far, far),
             r.uniform(-far, far)};
        break;
    case 3:  // end points on and beside the borders
        l = {nearBorder(r, w), nearBorder(r, h), nearBorder(r, w), nearBorder(r, h)};
        if (r.below(2)) l.x1 = r.uniform(-200, 200);
        break;
    case 4: {  // vertical and horizontal, in either direction
        const float c = r.below(2) ? nearBorder(r, w) : r.uniform(-2, w + 2.0f);
        const float a = r.uniform(-far, far), b = r.uniform(-far, far);
        l = r.below(2) ? Line{c, a, c, b} : Line{a, c, b, c};
        break;
    }
    case 5: {  // degenerate: a point, or shorter than a pixel
        const float x = r.uniform(-2, w + 2.0f), y = r.uniform(-2, h + 2.0f);
        l = {x, y, x + r.uniform(-0.9f, 0.9f) * float(r.below(2)),
             y + r.uniform(-0.9f, 0.9f) * float(r.below(2))};
        break;
    }
    case 6:  // one or more non-finite or huge coordinates
        l = {r.uniform(-100, 100), r.uniform(-100, 100), r.uniform(-100, 100),
             r.uniform(-100, 100)};
        for (float* v : {&l.x0, &l.y0, &l.x1, &l.y1})
            if (r.below(3) == 0) *v = oddValue(r);
        break;
    default:  // long and nearly parallel to an edge, grazing it
        l = {r.uniform(-far, -100), nearBorder(r, h), r.uniform(w + 100.0f, far),
             nearBorder(r, h) + r.uniform(-1, 1)};
        if (r.below(2)) l = {l.y0, l.x0, l.y1, l.x1};
        break;
    }
    return l;
}

// Draws `lines` lines on two canvases of w x h, one walk each, comparing after each line.
void compareWalks(uint64_t seed, int32_t w, int32_t h, int lines, float maxLength) {
    Random r{seed};
    ArgbGfx fast, literal;
    fast.allocate(w, h);
    literal.allocate(w, h);
    const size_t bytes = size_t(w) * size_t(h) * 4;
    for (int n = 0; n < lines; ++n) {
        if (n % kLinesPerCanvas == 0) {
            fast.clear();
            literal.clear();
            fast.color = literal.color = uint32_t(r.next()) & 0x000F0F0F;
        }
        const Line l = randomLine(r, w, h, maxLength);
        fast.lineSmooth(l.x0, l.y0, l.x1, l.y1);
        lineSmoothLiteral(literal, l.x0, l.y0, l.x1, l.y1);
        ASSERT_EQ(std::memcmp(fast.pixels, literal.pixels, bytes), 0)
            << "line " << n << " from (" << l.x0 << ", " << l.y0 << ") to (" << l.x1 << ", " << l.y1
            << ")"
            << " on " << w << " x " << h;
    }
}

}  // namespace

TEST(LineSmoothDifferential, FastWalkEqualsLiteralWalkOnTheCanvas) {
    compareWalks(0x5EED0001, 64, 64, kLines, 1500);
}

TEST(LineSmoothDifferential, FastWalkEqualsLiteralWalkOnVeryLongLines) {
    // As long as the warp's spoke stars get: thousands of pixels, nearly all outside.
    compareWalks(0x5EED0002, 64, 64, kLines / 100, 30000);
}

TEST(LineSmoothDifferential, FastWalkEqualsLiteralWalkOnOtherSizes) {
    const int32_t sizes[][2] = {{1, 1}, {2, 3}, {17, 9}, {9, 130}, {256, 40}};
    uint64_t seed = 0x5EED0100;
    for (const auto& s : sizes) compareWalks(seed++, s[0], s[1], kLines / 20, 1500);
}
