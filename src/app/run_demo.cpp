#include "app/run_demo.h"

#include "app/quit_signals.h"
#include "app/render_frame.h"
#include "app/window.h"
#include "assets/image_loader.h"
#include "audio/music.h"
#include "present/presenter.h"

#include <SDL.h>

void runDemo() {
    DemoWindow window = openDemoWindow();
    setPresenterViewport(window.width, window.height);
    loadImages();
    initMusic();
    setPresenterViewport(window.width, window.height);
    startMusic();
    deferQuitSignals();
    for (;;) {
        renderFrame(musicSeconds());
        SDL_GL_SwapWindow(window.window);
        if (pumpWindowEvents(window)) setPresenterViewport(window.width, window.height);
    }
}
