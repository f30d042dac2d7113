#include "app/render_frame.h"

#include "demo/timeline.h"
#include "gfx/argb_gfx.h"
#include "present/presenter.h"

void renderFrame(double seconds) {
    ArgbGfx canvas;
    canvas.allocate(kCanvasSize, kCanvasSize);
    canvas.color = 0;
    canvas.clear();
    const FrameTime time = frameTimeAtSeconds(seconds);
    // The texture's size is fixed by the first canvas, so an empty one is never shown.
    if (!canvas.pixels) return;
    drawFrame(canvas, time);
    presentCanvas(canvas);
}
