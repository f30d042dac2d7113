#pragma once
#include <cstdint>

class ArgbGfx;

// Pieces of the show that several branches draw. Times are in beats.

constexpr uint32_t kCaptionRed = 0x003333FF;
constexpr uint32_t kMoneyGreen = 0x0030FF60;
constexpr uint32_t kEventYellow = 0x0066FFFF;

// a < beat < b: a window that excludes both bounds.
inline bool within(double beat, double a, double b) {
    return a < beat && beat < b;
}
// a <= beat < b: a window that includes its start.
inline bool withinFrom(double beat, double a, double b) {
    return a <= beat && beat < b;
}

// Truncation toward zero of a computed sprite position, in pixels. Positions beyond
// +-2^20 are pinned there and NaN goes to +2^20: all of these lie off the canvas, where
// blitMasked draws nothing.
int32_t truncPosition(double v);

// Animation frame k at the origin; nothing for k outside 0..34.
void blitAnimFrame(ArgbGfx& canvas, int32_t k);

// Outlined "jam" at (21, 34) and "it" at (24, 44), in kCaptionRed.
void drawCaptionJam(ArgbGfx& canvas);
void drawCaptionIt(ArgbGfx& canvas);

// Outlined "SHITLOAD", "   OF" and " money" in kMoneyGreen, one line each.
void drawShitload(ArgbGfx& canvas);
void drawOf(ArgbGfx& canvas);
void drawMoney(ArgbGfx& canvas);

// Animation frames 0 to 7, eight per beat, during the one beat start < beat < start + 1.
void drawEightFrameBurst(ArgbGfx& canvas, double beat, double start);

// imgRasberry on a pendulum arc from x = 10 to 30, one swing there and back per 4 beats.
void rasberrySwing(ArgbGfx& canvas, double beat);

// imgLonestar and imgBarf in turn while 139.5 < t < 145; nothing outside.
void flashSequence(ArgbGfx& canvas, double t);

// Replaces every canvas pixel with the same pixel of picture, unmasked, alpha included;
// pixels the picture does not cover (all of them when it is empty) become 0. Reads the
// picture through its pitch, never past its width and height.
void copyOverCanvas(ArgbGfx& canvas, const ArgbGfx& picture);
