#include "demo/effects.h"

#include "demo/effects/effect_math.h"
#include "gfx/argb_gfx.h"
#include "gfx/portable_trig.h"

#include <cmath>

namespace {

constexpr int kStarCount = 128;
constexpr int kSpokesPerStar = 12;

// Depth after adding 4 until it is not negative: in (0, 4], or a value not greater than 0
// when the star is not drawn (exactly 0 after wrapping, or not a number). While z < -4
// each addition of 4 is exact (4 is a multiple of z's unit in the last place and the
// sum is smaller than z), so the exact remainder reaches the same last step as the
// one-by-one loop, without its s^2 turns per star.
double wrappedDepth(double z) {
    if (z < -4) z = std::fmod(z, 4.0);  // -inf gives NaN: star dropped
    while (z < 0) z += 4;
    return z;
}

void drawStreaks(ArgbGfx& canvas, double s) {
    canvas.color = 0x444444;
    for (int i = 0; i < kStarCount; ++i) {
        const double a = 51.1 * portableSin(313.1 * i + 53);
        const double b = 431.1 * portableSin(23.71 * i + 1);
        const double c = 7.1 * portableSin(843.71 * i + 14);
        const double dirX = 32 * fractionalPart(a);
        const double dirY = 32 * fractionalPart(b);
        const float phase = float(std::fabs(fractionalPart(c)));
        const double z = wrappedDepth(4 * double(phase) - 4 * (s * s));
        if (!(z > 0)) continue;
        const double k = 1 / z;
        const double m = (0.25 * s + 1) / z;
        canvas.lineSmooth(float(32 + k * dirX), float(32 + k * dirY), float(32 + m * dirX),
                          float(32 + m * dirY));
    }
}

// Twelve spokes of length 32 * g from the centre, the first at angle `offset`.
void drawSpokeStar(ArgbGfx& canvas, double g, double offset) {
    for (int j = 0; j < kSpokesPerStar; ++j) {
        const double theta = j * 3.14159 * 2 / 12 + offset;
        canvas.lineSmooth(32, 32, float(32 + 32 * g * portableSin(theta)),
                          float(32 + 32 * g * portableCos(theta)));
    }
}

}  // namespace

void warpEffect(ArgbGfx& canvas, double t) {
    const double s = 0.25 * t;
    drawStreaks(canvas, s);

    const float absS = std::fabs(float(s));
    if (!(absS > 5)) return;
    const double e = double(absS) - 5;
    const double g = 4 * (e * e);
    canvas.color = 0x2080F0;
    drawSpokeStar(canvas, g, 0);
    canvas.color = 0x102080;
    drawSpokeStar(canvas, g, 0.1);

    if (!(e > 0.4)) return;
    const double q = (e - 0.4) * 0.25;
    canvas.color = 0x102080;
    boxTunnel(canvas, q);
    canvas.color = 0x108080;
    boxTunnel(canvas, q + 0.01);
}
