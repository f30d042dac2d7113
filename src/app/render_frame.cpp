#include "app/render_frame.h"

#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"
#include "present/presenter.h"

bool renderFrame(double seconds) {
    ArgbGfx canvas;
    const FrameTime time = frameTimeAtSeconds(seconds);
    // The texture's size is fixed by the first canvas, so an empty one is never shown.
    if (!drawFreshFrame(canvas, time)) return false;
    return presentCanvas(canvas);
}
