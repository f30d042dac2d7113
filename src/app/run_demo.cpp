#include "app/run_demo.h"

#include "app/frame_pacer.h"
#include "app/quit_signals.h"
#include "app/render_frame.h"
#include "app/window.h"
#include "assets/data_pack.h"
#include "assets/data_pack_manifest.h"
#include "assets/image_loader.h"
#include "audio/music.h"
#include "audio/stream.h"
#include "demo/timeline.h"
#include "present/presenter.h"

#include <SDL.h>

#include <string>

void runDemo() {
    DemoWindow window = openDemoWindow();
    setPresenterViewport(window.width, window.height);
    loadImages();
    initMusic((std::string(kDataFolder) + kMusicFileName).c_str(), kShowEndSeconds);
    setPresenterViewport(window.width, window.height);
    finishShowingWindow(window);
    startMusic();
    deferQuitSignals();
    FramePacer pacer = makeFramePacer(windowRefreshHz(window));
    for (;;) {
        const int64_t workStartNs = monotonicNs();
        renderFrame(musicSeconds());
        SDL_GL_SwapWindow(window.window);
        sleepUntilNs(frameSleepUntil(pacer, workStartNs, monotonicNs()));
        if (pumpWindowEvents(window)) setPresenterViewport(window.width, window.height);
    }
}
