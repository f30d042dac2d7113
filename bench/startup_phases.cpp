// The intro's start-up, step by step with the intro's own functions and in its order,
// timed on the monotonic clock from the start of main: video init, window, GL context,
// pictures, music open, audio device, the wait for the window to be shown and the first
// frame on screen. Then it waits like the intro (SIGTERM, Escape or closing the window
// end it).
// usage: startup_phases [intro options]   (run where ../data/ is the data folder)
// Prints one line per phase: "phase NAME MS" (milliseconds that phase took) and
// "phase total MS".
#include "app/options.h"
#include "app/quit_signals.h"
#include "app/render_frame.h"
#include "app/window.h"
#include "assets/data_folder.h"
#include "assets/data_pack.h"
#include "assets/data_pack_manifest.h"
#include "assets/image_loader.h"
#include "audio/mp3_decoder.h"
#include "audio/music.h"
#include "audio/music_output.h"
#include "present/presenter.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

static double nowMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

int main(int argc, char** argv) {
    const double start = nowMs();
    double last = start;
    auto phase = [&last](const char* name) {
        const double now = nowMs();
        std::printf("phase %s %.1f\n", name, now - last);
        last = now;
    };
    parseOptions(joinCommandLine(argc, argv).c_str());
    startVideoSystem();
    phase("video-init");
    DemoWindow window = createDemoWindow();
    phase("window");
    createGlContext(window);
    phase("gl-context");
    setPresenterViewport(window.width, window.height);
    printPackLoad(loadImages(), kDataFolder);
    phase("pictures");
    std::string reason;
    const std::string musicPath = std::string(kDataFolder) + kMusicFileName;
    Mp3Decoder* decoder = openMp3File(musicPath.c_str(), reason);
    if (!decoder) {
        std::fprintf(stderr, "startup_phases: %s: %s\n", musicPath.c_str(), reason.c_str());
        return 1;
    }
    phase("music-open");
    MusicOutput* output = openMusicOutput(decoder);
    phase("audio-device");
    setPresenterViewport(window.width, window.height);
    finishShowingWindow(window);
    phase("show-wait");
    startMusicOutput(output);
    renderFrame(0.0);
    SDL_GL_SwapWindow(window.window);
    glFinish();
    phase("first-frame");
    std::printf("phase total %.1f\n", last - start);
    std::fflush(stdout);

    deferQuitSignals();
    for (;;) {
        pumpWindowEvents(window);  // only for Escape: no frame follows the first
        SDL_Delay(10);
    }
}
