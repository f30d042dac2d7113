#include "demo/effects.h"

#include "demo/effects/effect_math.h"
#include "gfx/argb_gfx.h"

namespace {
constexpr int kSquareCount = 16;
}

void boxTunnel(ArgbGfx& canvas, double phase) {
    for (int i = 0; i < kSquareCount; ++i) {
        const double f = fractionalPart(i * 0.06125 + phase);
        // Half side in pixels: about 1.535 at f = 0, growing without bound as f nears 1.
        const double r = 0.05 / (1.01 - f) * 31;
        const float halfSide = float(r);
        const float lo = 32.0f - halfSide;
        const float hi = 32.0f + halfSide;
        // Each edge leaves out its end point, so corner (lo, lo) gets two points and
        // corner (hi, hi) none.
        canvas.lineSmooth(lo, lo, hi, lo);
        canvas.lineSmooth(lo, hi, hi, hi);
        canvas.lineSmooth(lo, lo, lo, hi);
        canvas.lineSmooth(hi, lo, hi, hi);
    }
}
