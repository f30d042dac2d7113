#include "demo/frame_canvas.h"

#include "demo/timeline.h"
#include "gfx/argb_gfx.h"

bool prepareFrameCanvas(ArgbGfx& canvas) {
    canvas.allocate(kCanvasSize, kCanvasSize);
    canvas.color = 0;
    canvas.clear();
    return canvas.pixels != nullptr;
}

bool drawFreshFrame(ArgbGfx& canvas, const FrameTime& time) {
    if (!prepareFrameCanvas(canvas)) return false;
    drawFrame(canvas, time);
    return true;
}
