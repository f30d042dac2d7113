// Shows the test pattern of present_pattern.h through the intro's own window and
// presenter, with the intro's options, until Escape or the window is closed; the
// end-to-end window checks compare screenshots of it with the pattern pixel by pixel.
// usage: present_pattern [-f1] [-wWIDTH] [-hHEIGHT] [-xLEFT] [-yTOP]
#include "app/options.h"
#include "app/window.h"
#include "demo/frame_time.h"
#include "gfx/argb_gfx.h"
#include "present/presenter.h"
#include "present_pattern.h"

#include <SDL.h>

#include <cstdio>

int main(int argc, char** argv) {
    parseOptions(joinCommandLine(argc, argv).c_str());
    DemoWindow window = openDemoWindow();
    finishShowingWindow(window);
    setPresenterViewport(window.width, window.height);

    ArgbGfx canvas;
    canvas.allocate(kCanvasSize, kCanvasSize);
    if (!canvas.pixels) {
        std::fputs("present_pattern: cannot allocate the canvas\n", stderr);
        return 1;
    }
    for (int32_t y = 0; y < canvas.height; ++y)
        for (int32_t x = 0; x < canvas.width; ++x)
            canvas.pixels[y * canvas.pitch + x] = presentPatternPixel(x, y);

    for (;;) {
        if (presentCanvas(canvas)) SDL_GL_SwapWindow(window.window);
        const WindowEvents events = pumpWindowEvents(window);
        if (events.resized) setPresenterViewport(window.width, window.height);
        if (events.exposed) requestPresenterRedraw();
        // The picture never changes; leave the shared cores to the tests beside this one.
        SDL_Delay(10);
    }
}
