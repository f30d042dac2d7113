#include "demo/effects.h"
#include "demo/effects/tunnel_square.h"

#include "demo/effects/effect_math.h"
#include "gfx/argb_gfx.h"

namespace {
constexpr int kSquareCount = 16;
}

TunnelSquare tunnelSquare(int index, double phase) {
    const double f = fractionalPart(index * 0.06125 + phase);
    // Half side in pixels: about 1.535 at f = 0, growing without bound as f nears 1.
    const double r = 0.05 / (1.01 - f) * 31;
    return {float(32 - r), float(32 + r)};
}

void boxTunnel(ArgbGfx& canvas, double phase) {
    for (int i = 0; i < kSquareCount; ++i) {
        const TunnelSquare square = tunnelSquare(i, phase);
        const float lo = square.lo;
        const float hi = square.hi;
        // Each edge leaves out its end point, so corner (lo, lo) gets two points and
        // corner (hi, hi) none.
        canvas.lineSmooth(lo, lo, hi, lo);
        canvas.lineSmooth(lo, hi, hi, hi);
        canvas.lineSmooth(lo, lo, lo, hi);
        canvas.lineSmooth(hi, lo, hi, hi);
    }
}
