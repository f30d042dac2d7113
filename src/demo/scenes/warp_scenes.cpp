#include "demo/scenes.h"

#include "assets/image_slots.h"
#include "demo/effects.h"
#include "demo/scenes/elements.h"
#include "gfx/argb_gfx.h"
#include "gfx/portable_trig.h"

namespace {

// The warp's own time: 0 at beat 178, one unit per beat.
void drawWarpFrom178(ArgbGfx& canvas, double beat) {
    warpEffect(canvas, beat - 178);
}

// Row of imgDarkHelmet's top edge while it rises from the bottom edge (beat 221) to the
// top (223) and sinks back (225). 3.1459 is a single-precision constant of the show.
int32_t helmetRiseRow(double beat) {
    const double angle = (beat - 221) * 0.25 * double(3.1459f);
    return truncPosition(64 - 64 * portableSin(angle));
}

}  // namespace

void drawHelmetsIntoWarp(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    // Begun in block 19.
    if (within(beat, 156, 170)) blitMasked(canvas, imgDarkHelmetNoMask, 0, 0);
    if (within(beat, 170, 178)) blitMasked(canvas, imgDarkHelmet, 0, 0);
    if (178 < beat) drawWarpFrom178(canvas, beat);
}

void drawWarp(ArgbGfx& canvas, const FrameTime& time) {
    drawWarpFrom178(canvas, time.beat);
}

// The windows of these blocks include their start.
void drawWarpSwing(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    drawWarpFrom178(canvas, beat);
    rasberrySwing(canvas, beat);
    if (withinFrom(beat, 221, 225)) {
        blitMasked(canvas, imgDarkHelmet, 0, helmetRiseRow(beat));
        // Again in front of the picture, at the same place.
        rasberrySwing(canvas, beat);
    }
    if (withinFrom(beat, 234, 235))
        blitMasked(canvas, imgLonestar, truncPosition(64 - 64 * time.beatFraction), 0);
    if (withinFrom(beat, 235, 239)) blitMasked(canvas, imgLonestar, 0, 0);
    if (withinFrom(beat, 239, 240))
        blitMasked(canvas, imgLonestar, 0, truncPosition(64 * time.beatFraction));
}
