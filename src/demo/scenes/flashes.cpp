#include "demo/scenes.h"

#include "assets/image_slots.h"
#include "demo/scenes/elements.h"
#include "gfx/argb_gfx.h"
#include "gfx/text.h"

// At the exact beats 89, 90, 91.5 and 93 neither picture shows.
void drawFlashPair(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    // Begun in block 10.
    if (within(beat, 87.5, 89)) blitMasked(canvas, imgLonestar, 0, 0);
    if (within(beat, 89, 90)) blitMasked(canvas, imgBarf, 0, 0);
    if (within(beat, 90, 91.5)) blitMasked(canvas, imgLonestar, 0, 0);
    if (within(beat, 91.5, 93)) blitMasked(canvas, imgBarf, 0, 0);
    if (93 < beat) blitMasked(canvas, imgLonestar, 0, 0);
}

void drawRedCross(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    if (within(beat, 96, 104)) blitAnimFrame(canvas, 0);
    if (100 < beat) {
        canvas.color = 0x000000FF;
        canvas.lineSmooth(10, 10, 54, 54);
        canvas.lineSmooth(10, 54, 54, 10);
    }
    if (102 < beat) {
        blitMasked(canvas, imgLonestar, 0, 0);
        drawCaptionJam(canvas);
    }
    if (within(beat, 103, 104)) drawCaptionIt(canvas);
}

void drawWeDoIt(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    // Begun in block 16.
    if (within(beat, 131, 137)) blitAnimFrame(canvas, 0);
    drawEightFrameBurst(canvas, beat, 137);
    flashSequence(canvas, beat);
    if (145 < beat) blitMasked(canvas, imgLonestar, 0, 0);
    if (within(beat, 148, 150)) {
        drawOutlinedText(canvas, 8, 34, "we do it", kCaptionRed);
        drawOutlinedText(canvas, 11, 44, " for a", kCaptionRed);
    }
    if (within(beat, 150, 152)) drawShitload(canvas);
    if (151 < beat) drawOf(canvas);
}

// Black from 153 to 156.
void drawMoneyAndHelmet(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    if (beat < 153) {
        blitMasked(canvas, imgLonestar, 0, 0);
        drawShitload(canvas);
        drawOf(canvas);
        drawMoney(canvas);
    }
    if (156 < beat) blitMasked(canvas, imgDarkHelmetNoMask, 0, 0);
}
