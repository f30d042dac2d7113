#pragma once
#include "gfx/argb_gfx.h"

#include <cstdint>

// The points of lineSmooth: count = trunc(length), at least 1; point i at t = i / count.
// 1 for a length that is not a number or does not fit 32 bits.
int32_t lineSmoothPointCount(float dx, float dy);

// The line walk exactly as written, testing every point in turn. The fast
// ArgbGfx::lineSmooth draws bit for bit the same; this one stays as its reference.
void lineSmoothLiteral(ArgbGfx& target, float x0, float y0, float x1, float y1);
