#pragma once
#include "gfx/argb_gfx.h"

#include <cstdint>

// text in `color` with a shadow of 0x00000000 one pixel to the right, below and
// below-right; the shadow never covers the text. The target's colour is unchanged.
void drawOutlinedText(ArgbGfx& target, int32_t x, int32_t y, const char* text, uint32_t color);
