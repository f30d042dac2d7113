#include "demo/scenes.h"

#include "assets/image_slots.h"
#include "demo/scenes/elements.h"
#include "gfx/argb_gfx.h"
#include "gfx/text.h"

// Black up to beat 35; then the helmet as background, its captions one by one, and in
// the second block the rasberry in front.
void drawOneMan(ArgbGfx& canvas, const FrameTime& time) {
    const bool secondBlock = time.block == 5;
    if (time.blockBeat > 3 || secondBlock) copyOverCanvas(canvas, imgDarkHelmet);
    if (time.blockBeat > 4 || secondBlock) drawOutlinedText(canvas, 24, 38, "one", kCaptionRed);
    if (time.blockBeat > 6 || secondBlock) drawOutlinedText(canvas, 24, 46, "man", kCaptionRed);
    if (secondBlock && time.blockBeat > 4) blitMasked(canvas, imgRasberry, 20, 24);
}
