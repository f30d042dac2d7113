#include "demo/scenes.h"

#include "gfx/argb_gfx.h"

void drawOpeningTitle(ArgbGfx& canvas, const FrameTime&) {
    canvas.color = 0x00FF8866;
    canvas.drawText(5, 8, "once upon");
    canvas.drawText(14, 18, "a time");
    canvas.drawText(8, 28, "in 64x64");
    canvas.drawText(14, 38, "pixels");
}

void drawJamTheRadar(ArgbGfx& canvas, const FrameTime& time) {
    canvas.color = 0x0066FFFF;
    canvas.drawText(20, 17, "JAM");
    if (time.blockBeat > 2) canvas.drawText(20, 25, "THE");
    if (time.blockBeat > 4) canvas.drawText(14, 33, "RADAR");
}
