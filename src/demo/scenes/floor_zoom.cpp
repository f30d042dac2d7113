#include "demo/scenes.h"

#include "demo/effects.h"
#include "gfx/argb_gfx.h"

void drawFloorZoom(ArgbGfx& canvas, const FrameTime& time) {
    floorZoomEffect(canvas, time.beat);
}
