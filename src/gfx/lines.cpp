#include "gfx/lines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// Truncation toward zero of a corner coordinate, or -1 when it is not a column (row) of an
// image `size` wide (tall). Guards the conversion, which is undefined out of range.
int32_t cornerIndex(float v, int32_t size) {
    if (!(v > -1.0f) || !(v < float(size))) return -1;
    const int32_t index = int32_t(v);
    return index < size ? index : -1;
}

// floor(v) in double, exactly; within the 32-bit range without a library call, which
// would cost more than the rest of a point.
double floorOf(float v) {
    if (v > -2147483648.0f && v < 2147483648.0f) {
        const int32_t i = int32_t(v);  // toward zero; v's integer part is exact in float
        return double(float(i) > v ? i - 1 : i);
    }
    return std::floor(double(v));
}

// |floor(v) - from|: floor in double, converted to single, then made absolute.
float cornerDistance(float v, float from) {
    return std::fabs(float(floorOf(v) - double(from)));
}

// The current colour's red, green and blue as floats, ready to be weighted.
struct ChannelFloats {
    float red, green, blue;
};

// One channel: the weighted contribution truncated, added, saturated at 255.
inline uint32_t addChannel(uint32_t pixel, int shift, float channel, float weight) {
    const uint32_t sum = ((pixel >> shift) & 0xFF) + uint32_t(channel * weight);
    return (sum < 255 ? sum : 255) << shift;
}

// Adds weight x colour to the pixel, channel by channel; the alpha byte becomes 0.
inline void addWeighted(uint32_t& pixel, const ChannelFloats& c, float weight) {
    const uint32_t p = pixel;
    pixel = addChannel(p, 0, c.red, weight) | addChannel(p, 8, c.green, weight) |
            addChannel(p, 16, c.blue, weight);
}

// Weight of a corner: 1 - (dx + dy) x 0.5, each step in single precision.
inline float cornerWeight(float dx, float dy) {
    return 1.0f - (dx + dy) * 0.5f;
}

bool lineRejected(const ArgbGfx& t, float x0, float y0, float x1, float y1) {
    return (x0 < 0 && x1 < 0) || (x0 > t.width && x1 > t.width) || (y0 < 0 && y1 < 0) ||
           (y0 > t.height && y1 > t.height);
}

// Point i of the walk, exactly as every walk computes it: t = i / count divided in double
// and rounded to single; the point x0 + t x dx is a single product and a single sum,
// each rounded (no fused multiply-add).
struct LineWalk {
    float x0, y0, dx, dy;
    int32_t count;
    float right, bottom;  // width - 1 and height - 1

    float t(int64_t i) const { return float(double(i) / double(count)); }
    float px(int64_t i) const { return x0 + t(i) * dx; }
    float py(int64_t i) const { return y0 + t(i) * dy; }
    bool inside(float x, float y) const { return 0 < x && x < right && 0 < y && y < bottom; }
};

LineWalk startWalk(const ArgbGfx& target, float x0, float y0, float x1, float y1) {
    LineWalk w;
    w.x0 = x0;
    w.y0 = y0;
    w.dx = x1 - x0;
    w.dy = y1 - y0;
    w.count = lineSmoothPointCount(w.dx, w.dy);
    w.right = float(target.width - 1);
    w.bottom = float(target.height - 1);
    return w;
}

// Smallest i in [lo, hi) with holds(i), or hi; holds must be false then true along i.
// Starts at the guess and gallops away from it, so a good guess costs a few tests.
template <typename Predicate>
int64_t firstWhere(int64_t lo, int64_t hi, int64_t guess, Predicate holds) {
    auto bisect = [&](int64_t a, int64_t b) {  // the answer lies in [a, b]
        while (a < b) {
            const int64_t mid = a + (b - a) / 2;
            if (holds(mid))
                b = mid;
            else
                a = mid + 1;
        }
        return a;
    };
    if (lo >= hi) return hi;
    guess = std::clamp(guess, lo, hi - 1);
    if (holds(guess)) {
        int64_t knownTrue = guess;
        for (int64_t step = 1;; step *= 2) {
            const int64_t probe = knownTrue - step;
            if (probe < lo) return bisect(lo, knownTrue);
            if (!holds(probe)) return bisect(probe + 1, knownTrue);
            knownTrue = probe;
        }
    }
    int64_t knownFalse = guess;
    for (int64_t step = 1;; step *= 2) {
        const int64_t probe = knownFalse + step;
        if (probe >= hi) return bisect(knownFalse + 1, hi);
        if (holds(probe)) return bisect(knownFalse + 1, probe);
        knownFalse = probe;
    }
}

// Where the walk's coordinate start + (i / count) x d meets `value`, as a real number
// clamped to the walk: a guess within a step or two of the exact float boundary.
int64_t crossingGuess(float start, float d, float value, int32_t count) {
    if (d == 0) return 0;
    const double i = (double(value) - double(start)) / double(d) * double(count);
    if (!(i > 0)) return 0;
    if (i > double(count)) return count;
    return int64_t(i);
}

// Narrows [first, end) to the points whose coordinate c(i) lies strictly between 0 and
// limit. c moves monotonically with i: t never decreases, and rounding keeps the order
// of start + t * d, so these points form one run.
template <typename Coordinate>
void narrowToRun(int64_t& first, int64_t& end, float start, float d, float limit, int32_t count,
                 Coordinate c) {
    const int64_t atZero = crossingGuess(start, d, 0, count);
    const int64_t atLimit = crossingGuess(start, d, limit, count);
    if (d >= 0) {
        first = firstWhere(first, end, atZero, [&](int64_t i) { return c(i) > 0; });
        end = firstWhere(first, end, atLimit, [&](int64_t i) { return !(c(i) < limit); });
    } else {
        first = firstWhere(first, end, atLimit, [&](int64_t i) { return c(i) < limit; });
        end = firstWhere(first, end, atZero, [&](int64_t i) { return !(c(i) > 0); });
    }
}

// plotSmooth for a point strictly inside the border, 0 < x < width - 1 and likewise y,
// as every drawn point of a line is: all four corners lie in the image, and floor is
// truncation. Same arithmetic, fewer tests; the line tests hold it to plotSmooth.
void plotInside(ArgbGfx& image, const ChannelFloats& c, float x, float y) {
    const float x1 = x + 1.0f;
    const float y1 = y + 1.0f;
    const int32_t col0 = int32_t(x), col1 = int32_t(x1);
    const int32_t row0 = int32_t(y), row1 = int32_t(y1);
    // x + 1 may round up onto the far edge of an image whose width is not a power of two.
    if (col1 >= image.width || row1 >= image.height) return image.plotSmooth(x, y);
    const float dx0 = std::fabs(float(double(col0) - double(x)));
    const float dx1 = std::fabs(float(double(col1) - double(x)));
    const float dy0 = std::fabs(float(double(row0) - double(y)));
    const float dy1 = std::fabs(float(double(row1) - double(y)));
    uint32_t* top = image.pixels + size_t(row0) * size_t(image.pitch);
    uint32_t* bottom = image.pixels + size_t(row1) * size_t(image.pitch);
    addWeighted(top[col0], c, cornerWeight(dx0, dy0));
    addWeighted(top[col1], c, cornerWeight(dx1, dy0));
    addWeighted(bottom[col1], c, cornerWeight(dx1, dy1));
    addWeighted(bottom[col0], c, cornerWeight(dx0, dy1));
}

ChannelFloats channelsOf(uint32_t color) {
    return {float(color & 0xFF), float((color >> 8) & 0xFF), float((color >> 16) & 0xFF)};
}

// Below this many points the literal walk is as cheap as finding the run.
constexpr int32_t kShortLinePoints = 24;

}  // namespace

// Single-precision arithmetic throughout, but for the four distances: floor(v) - x is
// taken in double, then rounded to single.
void ArgbGfx::plotSmooth(float x, float y) {
    if (!pixels) return;
    const ChannelFloats c = channelsOf(color);
    const float x1 = x + 1.0f;
    const float y1 = y + 1.0f;
    const int32_t col0 = cornerIndex(x, width), col1 = cornerIndex(x1, width);
    const int32_t row0 = cornerIndex(y, height), row1 = cornerIndex(y1, height);
    const float dx0 = cornerDistance(x, x), dx1 = cornerDistance(x1, x);
    const float dy0 = cornerDistance(y, y), dy1 = cornerDistance(y1, y);
    auto corner = [&](int32_t col, int32_t row, float dx, float dy) {
        if (col < 0 || row < 0) return;
        // Weights add up to 2 over the four corners, not 1.
        addWeighted(pixels[size_t(col) + size_t(row) * size_t(pitch)], c, cornerWeight(dx, dy));
    };
    corner(col0, row0, dx0, dy0);
    corner(col1, row0, dx1, dy0);
    corner(col1, row1, dx1, dy1);
    corner(col0, row1, dx0, dy1);
}

int32_t lineSmoothPointCount(float dx, float dy) {
    const double length = std::sqrt(double(dx) * double(dx) + double(dy) * double(dy));
    if (!(length >= 1.0) || !(length < 2147483648.0)) return 1;
    return int32_t(length);
}

void lineSmoothLiteral(ArgbGfx& target, float x0, float y0, float x1, float y1) {
    if (lineRejected(target, x0, y0, x1, y1)) return;
    const LineWalk w = startWalk(target, x0, y0, x1, y1);
    for (int64_t i = 0; i < w.count; ++i) {
        const float px = w.px(i);
        const float py = w.py(i);
        if (w.inside(px, py)) target.plotSmooth(px, py);
    }
}

// Single-precision arithmetic throughout, but for the length sqrt(dx^2 + dy^2) and the
// division i / count, both in double (LineWalk).
void ArgbGfx::lineSmooth(float x0, float y0, float x1, float y1) {
    if (lineRejected(*this, x0, y0, x1, y1)) return;
    const LineWalk w = startWalk(*this, x0, y0, x1, y1);
    if (!pixels) return;
    const ChannelFloats c = channelsOf(color);
    int64_t first = 0, end = w.count;
    // A count above 1 means a finite length, so every coordinate of the walk is finite.
    if (w.count > kShortLinePoints) {
        narrowToRun(first, end, w.x0, w.dx, w.right, w.count, [&](int64_t i) { return w.px(i); });
        narrowToRun(first, end, w.y0, w.dy, w.bottom, w.count, [&](int64_t i) { return w.py(i); });
    }
    for (int64_t i = first; i < end; ++i) {
        const float px = w.px(i);
        const float py = w.py(i);
        if (w.inside(px, py)) plotInside(*this, c, px, py);
    }
}
