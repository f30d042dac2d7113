#include "demo/scenes.h"

#include "assets/image_slots.h"
#include "demo/effects.h"
#include "demo/scenes/elements.h"
#include "gfx/argb_gfx.h"
#include "gfx/text.h"

namespace {

constexpr uint32_t kNoneRed = 0x002020FF;
constexpr uint32_t kWhite = 0x00FFFFFF;

// The warp's time in this half: -42 at beat 240 up to 0 at 261, then ten times slower.
double endWarpTime(double beat) {
    double d = beat - 261;
    if (d >= 0) d *= 0.1;
    return d + d;
}

// Frame of the closing animation in 282 < beat < 300: four a beat up to frame 31,
// then frames 32, 33 and 34 held until 294, 297 and 300.
int32_t closingFrame(double beat) {
    if (297 < beat) return 34;
    if (294 < beat) return 33;
    const double frame = (beat - 282) * 4;
    return frame < 32 ? int32_t(frame) : 32;
}

}  // namespace

// The windows of this half include their start.
void drawEndFirstHalf(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    const double fraction = time.beatFraction;
    warpEffect(canvas, endWarpTime(beat));
    rasberrySwing(canvas, beat);
    if (withinFrom(beat, 251, 252))
        blitMasked(canvas, imgLonestar, 0, truncPosition(64 - 64 * fraction));
    if (withinFrom(beat, 252, 257)) blitMasked(canvas, imgLonestar, 0, 0);
    if (withinFrom(beat, 257, 258))
        blitMasked(canvas, imgLonestar, truncPosition(64 * fraction), 0);
    if (withinFrom(beat, 261, 268)) {
        // Beat 261 plays the flashes of beat 139.
        const double flashTime = beat - 122;
        flashSequence(canvas, flashTime);
        if (flashTime > 145) blitMasked(canvas, imgLonestar, 0, 0);
    }
    if (withinFrom(beat, 268, 269)) blitMasked(canvas, imgLonestar, 0, 0);
    if (withinFrom(beat, 269, 270))
        blitMasked(canvas, imgLonestar, 0, truncPosition(64 * fraction));
    if (withinFrom(beat, 274, 278)) drawOutlinedText(canvas, 8, 14, " none", kNoneRed);
    if (withinFrom(beat, 274.5, 278)) drawOutlinedText(canvas, 8, 24, " if", kNoneRed);
    if (withinFrom(beat, 275, 278)) drawOutlinedText(canvas, 8, 34, " we", kNoneRed);
    if (withinFrom(beat, 275.5, 278)) drawOutlinedText(canvas, 8, 44, " jam", kNoneRed);
    // Same line as " jam": "it" one empty cell after it.
    if (withinFrom(beat, 276, 278)) drawOutlinedText(canvas, 8, 44, "     it", kNoneRed);
}

// From beat 278 on; only the first window includes its start. Black between the
// windows; after 322 the picture stays for good.
void drawEndSecondHalf(ArgbGfx& canvas, const FrameTime& time) {
    const double beat = time.beat;
    if (withinFrom(beat, 278, 282)) blitAnimFrame(canvas, 0);
    if (within(beat, 282, 300)) blitAnimFrame(canvas, closingFrame(beat));
    if (within(beat, 302, 306)) {
        drawOutlinedText(canvas, 2, 24, "we brake", kWhite);
        drawOutlinedText(canvas, 2, 34, "for nobody", kWhite);
    }
    if (within(beat, 308, 312)) {
        drawOutlinedText(canvas, 2, 24, "#quarkfest", kEventYellow);
        drawOutlinedText(canvas, 2, 34, "@vantrope", kEventYellow);
        drawOutlinedText(canvas, 2, 44, "2016-11-05", kEventYellow);
    }
    if (within(beat, 314, 320)) {
        const char* const credits[3][2] = {
            {"code:", "  tavo"}, {"gfx:", "  pirum"}, {"music:", "  belorand"}};
        for (int32_t i = 0; i < 3; ++i) {
            drawOutlinedText(canvas, 2, 4 + 20 * i, credits[i][0], kEventYellow);
            drawOutlinedText(canvas, 2, 10 + 20 * i, credits[i][1], kEventYellow);
        }
    }
    if (322 < beat) blitMasked(canvas, imgLowrezQr, 0, 0);
}
