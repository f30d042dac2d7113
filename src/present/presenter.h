#pragma once
#include "gfx/argb_gfx.h"

#include <cstdint>

// The one texture and the viewport of the window it is drawn into.
struct PresenterState {
    uint32_t textureName;   // 0 until the first frame creates it
    int32_t viewportWidth;  // window size in pixels, written at start-up
    int32_t viewportHeight;
    float aspect;      // viewportWidth / viewportHeight
    bool viewportSet;  // the viewport has been set since start-up
    // A copy of the canvas on screen, to tell whether a frame changes anything; current
    // until the window's contents may have been lost (a new size, an expose).
    ArgbGfx shownCanvas;
    bool shownCurrent;
};

extern PresenterState presenterState;

// Records the window size; the viewport follows on the next presented frame, which is
// drawn whatever it holds.
void setPresenterViewport(int32_t width, int32_t height);

// The window's contents may have been lost (exposed, shown again): the next frame is
// drawn whatever it holds.
void requestPresenterRedraw();

// Uploads the canvas into the texture and draws it as a square of the window's height,
// centred on grey, into the current back buffer, and returns true: the caller then swaps
// buffers. A canvas byte for byte the one on screen, with nothing asking for a redraw,
// is not drawn again and gives false: the caller leaves the buffers as they are, and
// the picture stays.
bool presentCanvas(const ArgbGfx& canvas);
