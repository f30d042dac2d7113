#include "app/run_demo.h"

#include "app/frame_pacer.h"
#include "app/quit_signals.h"
#include "app/render_frame.h"
#include "app/window.h"
#include "assets/data_folder.h"
#include "assets/data_pack.h"
#include "assets/data_pack_manifest.h"
#include "assets/printable.h"
#include "audio/av_offset.h"
#include "audio/music.h"
#include "audio/stream.h"
#include "demo/timeline.h"
#include "present/presenter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

void runDemo() {
    const AvOffset avOffset = parseAvOffset(std::getenv("INTRO_AV_OFFSET_MS"));
    // The value is the user's bytes: shown escaped, as every path is.
    if (!avOffset.warning.empty())
        std::fprintf(stderr, "%s\n", printable(avOffset.warning).c_str());
    DemoWindow window = openDemoWindow();
    setPresenterViewport(window.width, window.height);
    printPackLoad(loadImages(), kDataFolder);
    std::string musicFailure;
    if (!openMusic((std::string(kDataFolder) + kMusicFileName).c_str(), kShowEndSeconds,
                   musicFailure))
        endWithStartupError(musicFailure);
    setPresenterViewport(window.width, window.height);
    finishShowingWindow(window);
    startMusic();
    deferQuitSignals();
    FramePacer pacer = makeFramePacer(windowRefreshHz(window));
    // A frame stays on screen for one refresh, so it shows the moment in the middle of that
    // time: a change is then seen at most half a refresh before or after its sound, and on
    // average with it, instead of half a refresh late.
    const double shownMiddleSeconds = 0.5 * double(pacer.periodNs) / 1e9;
    // The final picture stands from the show's end on; a second past it, once it is on
    // screen, there is nothing left to draw until the window needs it again.
    const double finalPictureSeconds = kShowEndSeconds + 1.0;
    bool finalPictureShown = false;
    for (;;) {
        const int64_t workStartNs = monotonicNs();
        // A frame that changes nothing on screen is not drawn or swapped; the pacer then
        // waits for the next frame time as after a swap that did not wait.
        const double moment = offsetSeconds(musicSeconds() + shownMiddleSeconds, avOffset);
        const bool finalPicture = moment >= finalPictureSeconds;
        if (!(finalPicture && finalPictureShown && presenterState.shownCurrent)) {
            if (renderFrame(moment)) swapWindowBuffers(window);
            finalPictureShown = finalPicture && presenterState.shownCurrent;
        }
        sleepUntilNs(frameSleepUntil(pacer, workStartNs, monotonicNs()));
        const WindowEvents events = pumpWindowEvents(window);
        if (events.resized) setPresenterViewport(window.width, window.height);
        if (events.exposed) requestPresenterRedraw();
    }
}
