// Counts the frames a window presents, as the X server sees them: every drawing request
// into the window is one damage report, and a presented frame is one request (software
// OpenGL puts the whole back buffer at once). Also prints the display's refresh rate as
// SDL reports it, the rate the intro paces itself to.
// usage: frames_shown WINDOW_ID SECONDS
// Prints "refresh HZ" and "frames N in SECONDS s"; status 1 when the window cannot be
// watched or is gone before the time is up.
#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>

static double nowSeconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

static int refreshHz() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 0;
    SDL_DisplayMode mode = {};
    const int hz = SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.refresh_rate : 0;
    SDL_Quit();
    return hz;
}

static bool windowGone = false;
static int noteGoneWindow(Display*, XErrorEvent*) {
    windowGone = true;
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: frames_shown WINDOW_ID SECONDS\n", stderr);
        return 2;
    }
    const Window window = Window(std::strtoul(argv[1], nullptr, 0));
    const double seconds = std::atof(argv[2]);
    std::printf("refresh %d\n", refreshHz());

    Display* display = XOpenDisplay(nullptr);
    int eventBase = 0, errorBase = 0;
    if (!display || !XDamageQueryExtension(display, &eventBase, &errorBase)) {
        std::fputs("frames_shown: no X server with the DAMAGE extension\n", stderr);
        return 1;
    }
    XSetErrorHandler(noteGoneWindow);
    // Raw rectangles: one event per rectangle, 'more' set on all but the last of a request.
    XDamageCreate(display, window, XDamageReportRawRectangles);
    XSync(display, False);

    long frames = 0;
    const double end = nowSeconds() + seconds;
    for (double now = nowSeconds(); now < end && !windowGone; now = nowSeconds()) {
        pollfd fd = {ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, int((end - now) * 1000) + 1);
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == eventBase + XDamageNotify &&
                !reinterpret_cast<XDamageNotifyEvent*>(&event)->more)
                ++frames;
        }
    }
    if (windowGone) {
        std::fputs("frames_shown: the window is gone\n", stderr);
        return 1;
    }
    std::printf("frames %ld in %g s\n", frames, seconds);
    return 0;
}
