#pragma once
#include <cstdint>

class ArgbGfx;

// The one texture and the viewport of the window it is drawn into.
struct PresenterState {
    uint32_t textureName;   // 0 until the first frame creates it
    int32_t viewportWidth;  // window size in pixels, written at start-up
    int32_t viewportHeight;
    float aspect;      // viewportWidth / viewportHeight
    bool viewportSet;  // the viewport has been set since start-up
};

extern PresenterState presenterState;

// Records the window size; the viewport follows on the next presented frame.
void setPresenterViewport(int32_t width, int32_t height);

// Uploads the canvas into the texture and draws it as a square of the window's height,
// centred on grey, into the current back buffer. The caller swaps buffers.
void presentCanvas(const ArgbGfx& canvas);
