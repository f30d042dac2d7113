#include "demo/scenes.h"

#include "assets/image_slots.h"
#include "demo/effects.h"
#include "demo/scenes/elements.h"
#include "gfx/argb_gfx.h"

void drawShitloadOfMoney(ArgbGfx& canvas, const FrameTime& time) {
    spokesEffect(canvas, time.beat);
    const bool secondBlock = time.block == 7;
    if (secondBlock && time.blockBeat > 4) drawShitload(canvas);
    if (secondBlock && time.blockBeat > 5) drawOf(canvas);
    if (secondBlock && time.blockBeat > 6) drawMoney(canvas);
}

void drawFirstJam(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    if (within(beat, 65, 78)) spokesEffect(canvas, beat);
    if (within(beat, 65, 69)) blitAnimFrame(canvas, 0);
    if (within(beat, 67, 69)) drawCaptionJam(canvas);
    if (within(beat, 68, 69)) drawCaptionIt(canvas);
    if (within(beat, 78, 85)) blitAnimFrame(canvas, 0);
    if (within(beat, 82, 84)) drawCaptionJam(canvas);
    if (within(beat, 83, 84)) drawCaptionIt(canvas);
    drawEightFrameBurst(canvas, beat, 85);
    // Runs on into block 11.
    if (within(beat, 87.5, 89)) blitMasked(canvas, imgLonestar, 0, 0);
}

void drawSecondJam(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    if (within(beat, 104, 112)) spokesEffect(canvas, beat);
    if (within(beat, 113, 119)) blitAnimFrame(canvas, 0);
    if (within(beat, 117, 119)) drawCaptionJam(canvas);
    if (within(beat, 118, 119)) drawCaptionIt(canvas);
    drawEightFrameBurst(canvas, beat, 119);
}

void drawThirdJam(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    if (within(beat, 120, 128)) spokesEffect(canvas, beat);
    // Runs on into block 17.
    if (within(beat, 131, 137)) blitAnimFrame(canvas, 0);
    if (within(beat, 134, 136)) drawCaptionJam(canvas);
    if (within(beat, 135, 136)) drawCaptionIt(canvas);
}
