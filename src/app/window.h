#pragma once
#include <cstdint>
#include <string>

// The one window with its current OpenGL context: on SDL (window.cpp) or, on Windows,
// directly on Win32 and WGL (window_win32.cpp).
#if defined(_WIN32)
struct HWND__;
struct HDC__;
struct HGLRC__;
struct DemoWindow {
    HWND__* window;
    HDC__* deviceContext;
    HGLRC__* glContext;
    int32_t width;  // client area in pixels, also the viewport; follows resizes
    int32_t height;
};
#else
struct SDL_Window;
struct DemoWindow {
    SDL_Window* window;
    void* glContext;
    int32_t width;  // drawable size in pixels, also the viewport; follows resizes
    int32_t height;
};
#endif

// The process's command line as the option scan reads it: the platform's own where it
// keeps one (Windows), else argv joined by single spaces.
std::string processCommandLine(int argc, char** argv);

// A program started from a console it does not own (a Windows GUI program run from a
// prompt) joins it, so that stdout, stderr and Ctrl-C reach it. Nothing elsewhere.
void joinStartingConsole();

// Ends start-up with status 1 after line: on stderr where there is one to see it,
// otherwise (a Windows program started from the desktop) in a message box.
[[noreturn]] void endWithStartupError(const std::string& line);

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

// Shows the frame drawn into the back buffer: one swap, paced by the display where the
// driver waits for its refresh.
void swapWindowBuffers(DemoWindow& window);

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
