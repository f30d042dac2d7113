#pragma once
#include "demo/frame_time.h"

class ArgbGfx;

// Makes canvas the frame canvas of one moment: a fresh kCanvasSize x kCanvasSize buffer,
// current colour 0, every pixel 0. False when the buffer cannot be allocated; the canvas
// is then empty and nothing may be drawn through it.
bool prepareFrameCanvas(ArgbGfx& canvas);

// The one way a moment of the show is drawn, for the live intro and for every offline
// tool alike: prepareFrameCanvas, then drawFrame. False (nothing drawn) when the canvas
// could not be allocated.
bool drawFreshFrame(ArgbGfx& canvas, const FrameTime& time);
