#pragma once
// The warp written out from its formulas, independently of the effect's code: streaks,
// spoke stars and tunnel squares. The depth wrap is the plain loop.
#include "gfx/argb_gfx.h"

#include <cmath>
#include <cstdint>

namespace warp_model {

inline double fractional(double v) {
    return v - std::trunc(v);
}

struct Star {
    double dirX, dirY;
    float phase;
};

inline Star starNumber(int i) {
    const double a = 51.1 * std::sin(313.1 * i + 53);
    const double b = 431.1 * std::sin(23.71 * i + 1);
    const double c = 7.1 * std::sin(843.71 * i + 14);
    return {32 * fractional(a), 32 * fractional(b), float(std::fabs(fractional(c)))};
}

inline double literalDepth(const Star& star, double s) {
    double z = 4 * double(star.phase) - 4 * (s * s);
    while (z < 0) z += 4;
    return z;
}

inline void drawStreak(ArgbGfx& canvas, const Star& star, double z, double s) {
    const double k = 1 / z;
    const double m = (0.25 * s + 1) / z;
    canvas.lineSmooth(float(32 + k * star.dirX), float(32 + k * star.dirY),
                      float(32 + m * star.dirX), float(32 + m * star.dirY));
}

// Every streak of time t but the star `leftOut`.
inline void modelStreaks(ArgbGfx& canvas, double t, int leftOut = -1) {
    const double s = 0.25 * t;
    canvas.color = 0x444444;
    for (int i = 0; i < 128; ++i) {
        const Star star = starNumber(i);
        const double z = literalDepth(star, s);
        if (i != leftOut && z > 0) drawStreak(canvas, star, z, s);
    }
}

// The two twelve-spoke stars with spokes `length` pixels long.
inline void modelSpokeStars(ArgbGfx& canvas, double length) {
    const uint32_t colours[2] = {0x2080F0, 0x102080};
    const double offsets[2] = {0, 0.1};
    for (int star = 0; star < 2; ++star) {
        canvas.color = colours[star];
        for (int j = 0; j < 12; ++j) {
            const double theta = j * 3.14159 * 2 / 12 + offsets[star];
            canvas.lineSmooth(32, 32, float(32 + length * std::sin(theta)),
                              float(32 + length * std::cos(theta)));
        }
    }
}

// How the end points of a tunnel square are rounded: the show keeps the half side r in
// double and rounds 32 - r and 32 + r once each; rounding r first is the other reading.
enum class TunnelRounding { EndPointsOnce, HalfSideFirst };

struct SquareEnds {
    float lo, hi;
};

inline SquareEnds modelSquareEnds(int i, double phase,
                                  TunnelRounding rounding = TunnelRounding::EndPointsOnce) {
    const double v = i * 0.06125 + phase;
    const double r = 0.05 / (1.01 - (v - std::trunc(v))) * 31;
    if (rounding == TunnelRounding::HalfSideFirst) return {32.0f - float(r), 32.0f + float(r)};
    return {float(32 - r), float(32 + r)};
}

// The 16 squares of the tunnel at `phase`, in the canvas's current colour.
inline void modelSquares(ArgbGfx& canvas, double phase,
                         TunnelRounding rounding = TunnelRounding::EndPointsOnce) {
    for (int i = 0; i < 16; ++i) {
        const auto [lo, hi] = modelSquareEnds(i, phase, rounding);
        canvas.lineSmooth(lo, lo, hi, lo);  // top
        canvas.lineSmooth(lo, hi, hi, hi);  // bottom
        canvas.lineSmooth(lo, lo, lo, hi);  // left
        canvas.lineSmooth(hi, lo, hi, hi);  // right
    }
}

inline void modelTunnel(ArgbGfx& canvas, double q,
                        TunnelRounding rounding = TunnelRounding::EndPointsOnce) {
    canvas.color = 0x102080;
    modelSquares(canvas, q, rounding);
    canvas.color = 0x108080;
    modelSquares(canvas, q + 0.01, rounding);
}

// Spoke stars and tunnel of time t from the stage formulas.
inline void modelStarsAndTunnel(ArgbGfx& canvas, double t,
                                TunnelRounding rounding = TunnelRounding::EndPointsOnce) {
    const float absS = std::fabs(float(0.25 * t));
    if (!(absS > 5)) return;
    const double e = double(absS) - 5;
    modelSpokeStars(canvas, 32 * (4 * (e * e)));
    if (e > 0.4) modelTunnel(canvas, (e - 0.4) * 0.25, rounding);
}

// The whole warp of time t, written out from the formulas.
inline void modelWarp(ArgbGfx& canvas, double t,
                      TunnelRounding rounding = TunnelRounding::EndPointsOnce) {
    modelStreaks(canvas, t);
    modelStarsAndTunnel(canvas, t, rounding);
}

}  // namespace warp_model
