#pragma once
#include <cstdint>

struct SDL_Window;

// The one window with its current OpenGL context.
struct DemoWindow {
    SDL_Window* window;
    void* glContext;
    int32_t width;  // drawable size in pixels, also the viewport; follows resizes
    int32_t height;
};

// The bounding box of all displays, as the size for options left at 0.
void virtualScreenSize(int32_t* width, int32_t* height);

// Opens the window of the options (borderless unless windowed, sizes of 0 meaning the
// virtual screen) and makes a double-buffered GL context current. Takes over SIGINT and
// SIGTERM first (see quit_signals.h). On failure prints what failed on stderr and exits
// with status 1. The window is being shown: where the system lets it be shown without
// waiting (X11), finishShowingWindow must come before the first frame.
DemoWindow openDemoWindow();

// The steps of openDemoWindow, in this order; apart for the start-up benchmark.
void startVideoSystem();
DemoWindow createDemoWindow();
void createGlContext(DemoWindow& window);

// Returns once the window is shown, at once when it already is.
void finishShowingWindow(DemoWindow& window);

// The refresh rate of the display showing the window, in Hz; 0 when unknown.
int32_t windowRefreshHz(const DemoWindow& window);

// What the drained events ask of the picture.
struct WindowEvents {
    bool resized;  // the drawable size changed; window holds the new size
    bool exposed;  // the window's contents may be lost (exposed, shown or restored)
};

// Drains every pending event without waiting; Escape, closing the window, the window
// being destroyed by another client or this client being killed, and SIGINT or SIGTERM
// end the process with status 0. The window is not resizable, but a window manager may
// resize it all the same.
WindowEvents pumpWindowEvents(DemoWindow& window);
