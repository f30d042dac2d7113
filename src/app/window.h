#pragma once
#include <cstdint>

struct SDL_Window;

// The one window with its current OpenGL context.
struct DemoWindow {
    SDL_Window* window;
    void* glContext;
    int32_t width;   // drawable size in pixels, also the viewport
    int32_t height;
};

// The bounding box of all displays, as the size for options left at 0.
void virtualScreenSize(int32_t* width, int32_t* height);

// Opens the window of the options (borderless unless windowed, sizes of 0 meaning the
// virtual screen) and makes a double-buffered GL context current. On failure prints
// what failed on stderr and exits with status 1.
DemoWindow openDemoWindow();

// Drains every pending event without waiting; Escape, closing the window, or the window
// being destroyed by another client ends the process with status 0.
void pumpWindowEvents();
