#include "app/window.h"

#include "app/options.h"

#include <SDL.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

[[noreturn]] static void failStartup(const char* what) {
    std::fprintf(stderr, "intro: %s: %s\n", what, SDL_GetError());
    std::exit(1);
}

void virtualScreenSize(int32_t* width, int32_t* height) {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    const int displays = SDL_GetNumVideoDisplays();
    for (int i = 0; i < displays; ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(i, &r) != 0) continue;
        if (r.x < left) left = r.x;
        if (r.y < top) top = r.y;
        if (r.x + r.w > right) right = r.x + r.w;
        if (r.y + r.h > bottom) bottom = r.y + r.h;
    }
    *width = right > left ? right - left : 0;
    *height = bottom > top ? bottom - top : 0;
}

static void refuseNegative(const char* option, int32_t value) {
    if (value >= 0) return;
    std::fprintf(stderr, "intro: %s must not be negative (got %d)\n", option, int(value));
    std::exit(1);
}

DemoWindow openDemoWindow() {
    refuseNegative("-w", demoSettings.windowWidth);
    refuseNegative("-h", demoSettings.windowHeight);

    // The X11 window class of the one window.
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", "hehehe", 1);
    SDL_SetHint(SDL_HINT_APP_NAME, "hehehe");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) failStartup("cannot start the video system");

    int32_t screenWidth = 0, screenHeight = 0;
    virtualScreenSize(&screenWidth, &screenHeight);
    DemoWindow w = {};
    w.width = demoSettings.windowWidth ? demoSettings.windowWidth : screenWidth;
    w.height = demoSettings.windowHeight ? demoSettings.windowHeight : screenHeight;
    if (w.width <= 0 || w.height <= 0) {
        SDL_SetError("size %dx%d", int(w.width), int(w.height));
        failStartup("cannot create a window of that size");
    }

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (!demoSettings.windowed) flags |= SDL_WINDOW_BORDERLESS;
    w.window = SDL_CreateWindow("", demoSettings.windowX, demoSettings.windowY, w.width,
                                w.height, flags);
    if (!w.window) failStartup("cannot create the window");
    w.glContext = SDL_GL_CreateContext(w.window);
    if (!w.glContext) failStartup("cannot create the OpenGL context");
    if (SDL_GL_MakeCurrent(w.window, w.glContext) != 0)
        failStartup("cannot make the OpenGL context current");
    SDL_GL_SetSwapInterval(1);  // where the driver allows it
    SDL_ShowCursor(demoSettings.showCursor ? SDL_ENABLE : SDL_DISABLE);
    return w;
}

void pumpWindowEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_ESCAPE) std::exit(0);
            break;
        case SDL_QUIT:
            std::exit(0);
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) std::exit(0);
            break;
        default:
            break;
        }
    }
}
