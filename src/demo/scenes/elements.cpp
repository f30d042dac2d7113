#include "demo/scenes/elements.h"

#include "assets/image_slots.h"
#include "gfx/argb_gfx.h"
#include "gfx/portable_trig.h"
#include "gfx/text.h"

#include <algorithm>
#include <cstddef>

namespace {
// Far enough off the 64 x 64 canvas on either side for any picture of the show.
constexpr double kOffCanvas = 1 << 20;
}  // namespace

int32_t truncPosition(double v) {
    if (v >= -kOffCanvas && v <= kOffCanvas) return int32_t(v);
    return v < 0 ? int32_t(-kOffCanvas) : int32_t(kOffCanvas);
}

void blitAnimFrame(ArgbGfx& canvas, int32_t k) {
    if (k >= 0 && k < kAnimFrameCount) blitMasked(canvas, animFrames[k], 0, 0);
}

void drawCaptionJam(ArgbGfx& canvas) {
    drawOutlinedText(canvas, 21, 34, "jam", kCaptionRed);
}

void drawCaptionIt(ArgbGfx& canvas) {
    drawOutlinedText(canvas, 24, 44, "it", kCaptionRed);
}

void drawShitload(ArgbGfx& canvas) {
    drawOutlinedText(canvas, 8, 14, "SHITLOAD", kMoneyGreen);
}

void drawOf(ArgbGfx& canvas) {
    drawOutlinedText(canvas, 8, 24, "   OF", kMoneyGreen);
}

void drawMoney(ArgbGfx& canvas) {
    drawOutlinedText(canvas, 11, 34, " money", kMoneyGreen);
}

void drawEightFrameBurst(ArgbGfx& canvas, double beat, double start) {
    if (!(start < beat && beat < start + 1)) return;
    const double frame = (beat - start) * 8;
    // 0 <= frame < 8 inside the window; the guard keeps rounding from reaching frame 8.
    if (frame < 8) blitAnimFrame(canvas, int32_t(frame));
}

void rasberrySwing(ArgbGfx& canvas, double beat) {
    const double a = beat * 3.14159;
    const int32_t x = truncPosition(20 - 10 * portableCos(a * 0.5));
    const int32_t y = truncPosition(18 - 10 * portableCos(a));
    blitMasked(canvas, imgRasberry, x, y);
}

void flashSequence(ArgbGfx& canvas, double t) {
    if (139.5 < t && t < 141) blitMasked(canvas, imgLonestar, 0, 0);
    if (141 < t && t < 142) blitMasked(canvas, imgBarf, 0, 0);
    if (142 < t && t < 143.5) blitMasked(canvas, imgLonestar, 0, 0);
    if (143.5 < t && t < 145) blitMasked(canvas, imgBarf, 0, 0);
}

void copyOverCanvas(ArgbGfx& canvas, const ArgbGfx& picture) {
    if (!canvas.pixels) return;
    const int32_t copyWidth = picture.pixels ? std::min(picture.width, canvas.width) : 0;
    const int32_t copyHeight = picture.pixels ? std::min(picture.height, canvas.height) : 0;
    for (int32_t y = 0; y < canvas.height; ++y) {
        uint32_t* row = canvas.pixels + size_t(y) * size_t(canvas.pitch);
        int32_t x = 0;
        if (y < copyHeight) {
            const uint32_t* source = picture.pixels + size_t(y) * size_t(picture.pitch);
            for (; x < copyWidth; ++x) row[x] = source[x];
        }
        for (; x < canvas.width; ++x) row[x] = 0;
    }
}
