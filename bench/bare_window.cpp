// The floor of the start-up benchmark: the least an SDL program must do to show a first
// frame in a window of the intro's size, with the intro's GL attributes: start the video
// system, open a borderless window at (0, 0), make a GL context current, clear to grey 80
// and swap. Then it waits for SIGTERM or the window to close.
// With "textured" it also presents one blank 64 x 64 canvas through the intro's presenter,
// as any program showing such a picture must: the GL driver prepares its texturing then.
// usage: bare_window WIDTH HEIGHT [textured]
#include "app/gl_attributes.h"
#include "gfx/argb_gfx.h"
#include "present/presenter.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool textured = argc == 4 && std::strcmp(argv[3], "textured") == 0;
    if (argc != 3 && !textured) {
        std::fputs("usage: bare_window WIDTH HEIGHT [textured]\n", stderr);
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bare_window: %s\n", SDL_GetError());
        return 1;
    }
    requestGlAttributes();
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
    SDL_Window* window = SDL_CreateWindow(
        "", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_BORDERLESS);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "bare_window: %s\n", SDL_GetError());
        return 1;
    }
    if (textured) {
        ArgbGfx canvas;
        canvas.allocate(64, 64);
        canvas.clear();
        setPresenterViewport(width, height);
        presentCanvas(canvas);
    } else {
        glClearColor(0.3137255f, 0.3137255f, 0.3137255f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    SDL_GL_SwapWindow(window);
    SDL_Event event;
    while (SDL_WaitEvent(&event) && event.type != SDL_QUIT) {}
    return 0;
}
