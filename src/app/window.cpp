#include "app/window.h"

#include "app/gl_attributes.h"
#include "app/options.h"
#include "app/quit_signals.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

[[noreturn]] static void failStartup(const char* what) {
    endWithStartupError(std::string("intro: ") + what + ": " + SDL_GetError());
}

std::string processCommandLine(int argc, char** argv) {
    return joinCommandLine(argc, argv);
}

void joinStartingConsole() {}

void endWithStartupError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::exit(1);
}

#if defined(SDL_VIDEO_DRIVER_X11)
// On X11 another client can destroy the window (xdotool windowclose). The
// frame loop's next drawing calls then fail with BadWindow or BadDrawable, often before
// the DestroyNotify is read. Xlib's default handler would end the process there with
// status 1, and returning into the GL driver would leave it drawing with the sizes of a
// window that no longer exists; such an error ends the process at once with status 0,
// as does the DestroyNotify, as for any other destruction of the window. Every other
// error goes to the handler that was there before.
static Window watchedWindow = 0;
static XErrorHandler nextErrorHandler = nullptr;
static bool endingForGoneWindow = false;  // exit handlers may draw into it once more

static int endIfWindowGone(Display* display, XErrorEvent* error) {
    const bool drawable = error->error_code == BadWindow || error->error_code == BadDrawable;
    if (watchedWindow == 0 || !drawable || error->resourceid != watchedWindow)
        return nextErrorHandler ? nextErrorHandler(display, error) : 0;
    if (!endingForGoneWindow) {
        endingForGoneWindow = true;
        std::exit(0);
    }
    return 0;
}

// Killing the X client (xkill, xdotool windowkill) closes the intro's connection, which
// Xlib learns of in the middle of any call; its default handler reports the broken
// connection and ends with status 1. When the server still accepts connections, it was
// this client that was killed and its window destroyed with it: end quietly with 0, as
// for any other destruction of the window. A server that is gone keeps the default report.
static XIOErrorHandler nextIoErrorHandler = nullptr;

static int endIfClientKilled(Display* display) {
    if (endingForGoneWindow) _exit(0);  // an exit handler touched the dead connection
    const int lostWith = errno;         // the default report names it
    Display* probe = XOpenDisplay(DisplayString(display));
    if (probe) {
        XCloseDisplay(probe);
        endingForGoneWindow = true;
        std::exit(0);
    }
    errno = lostWith;
    return nextIoErrorHandler ? nextIoErrorHandler(display) : 0;
}

static bool x11Info(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

static bool canShowWithoutWaiting() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "x11") == 0;
}

// SDL shows an X11 window by mapping it and then blocking until the window manager has
// mapped it, some milliseconds of idle time. The map is asked for here, without waiting,
// so that the window manager does its part while the GL context and the data load.
static void requestMap(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Info(window, info)) return;
    XMapRaised(info.info.x11.display, info.info.x11.window);
    XFlush(info.info.x11.display);
}

static void watchForDestruction(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Info(window, info)) return;
    watchedWindow = info.info.x11.window;
    nextErrorHandler = XSetErrorHandler(endIfWindowGone);
    nextIoErrorHandler = XSetIOErrorHandler(endIfClientKilled);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

static void endIfDestroyed(const SDL_SysWMmsg* message) {
    if (message->subsystem != SDL_SYSWM_X11) return;
    const XEvent& event = message->msg.x11.event;
    if (event.type == DestroyNotify && event.xdestroywindow.window == watchedWindow) std::exit(0);
}
#else
static bool canShowWithoutWaiting() {
    return false;
}
static void requestMap(SDL_Window*) {}
static void watchForDestruction(SDL_Window*) {}
static void endIfDestroyed(const SDL_SysWMmsg*) {}
#endif

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

// Without a display SDL falls back to a driver that draws nowhere, and the intro would
// play on unseen; that is only wanted when SDL_VIDEODRIVER asks for such a driver.
static void refuseInvisibleDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0))
        return;
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (requested && *requested) return;
    SDL_SetError(
        "no display to open the window on "
        "(SDL found only its invisible \"%s\" video driver)",
        driver);
    failStartup("cannot start the video system");
}

void startVideoSystem() {
    const std::string sizeProblem = negativeSizeProblem(demoSettings);
    if (!sizeProblem.empty()) endWithStartupError(sizeProblem);

    // SIGINT and SIGTERM are the intro's own, so that they also end it during start-up.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    catchQuitSignals();

    // The X11 window class of the one window.
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", "hehehe", 1);
    SDL_SetHint(SDL_HINT_APP_NAME, "hehehe");
    // Software OpenGL (Mesa's llvmpipe) shares each frame out among rasterizer threads; for
    // one magnified square the hand-over costs more than it saves (bench/pacing.sh: the
    // show at 640 x 360 took 5.3 % of a core with them and 4.8 % without, at 1920 x 1080
    // 30.7 % and 25.0 %, at 60 frames a second either way), so it draws on the thread that
    // asks. A value the user set stays; other drivers do not read it.
    SDL_setenv("LP_NUM_THREADS", "0", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) failStartup("cannot start the video system");
    refuseInvisibleDriver();
}

DemoWindow createDemoWindow() {
    int32_t screenWidth = 0, screenHeight = 0;
    virtualScreenSize(&screenWidth, &screenHeight);
    DemoWindow w = {};
    chooseWindowSize(demoSettings, screenWidth, screenHeight, w.width, w.height);
    if (w.width <= 0 || w.height <= 0) {
        SDL_SetError("size %dx%d", int(w.width), int(w.height));
        failStartup("cannot create a window of that size");
    }

    requestGlAttributes();

    const bool mapHere = canShowWithoutWaiting();
    Uint32 flags = SDL_WINDOW_OPENGL | (mapHere ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    if (!demoSettings.windowed) flags |= SDL_WINDOW_BORDERLESS;
    w.window =
        SDL_CreateWindow("", demoSettings.windowX, demoSettings.windowY, w.width, w.height, flags);
    if (!w.window) failStartup("cannot create the window");
    if (mapHere) requestMap(w.window);
    return w;
}

void finishShowingWindow(DemoWindow& w) {
    // Once mapped, SDL only records the window as shown; otherwise it waits for the map.
    SDL_ShowWindow(w.window);
}

void swapWindowBuffers(DemoWindow& w) {
    SDL_GL_SwapWindow(w.window);
}

void createGlContext(DemoWindow& w) {
    w.glContext = SDL_GL_CreateContext(w.window);
    if (!w.glContext) failStartup("cannot create the OpenGL context");
    if (SDL_GL_MakeCurrent(w.window, w.glContext) != 0)
        failStartup("cannot make the OpenGL context current");
    SDL_GL_SetSwapInterval(1);  // where the driver allows it
    SDL_ShowCursor(demoSettings.showCursor ? SDL_ENABLE : SDL_DISABLE);
    watchForDestruction(w.window);
}

DemoWindow openDemoWindow() {
    startVideoSystem();
    DemoWindow w = createDemoWindow();
    createGlContext(w);
    return w;
}

int32_t windowRefreshHz(const DemoWindow& window) {
    SDL_DisplayMode mode = {};
    if (SDL_GetWindowDisplayMode(window.window, &mode) == 0 && mode.refresh_rate > 0)
        return mode.refresh_rate;
    // A window larger than every mode of its display (the whole virtual screen) has no
    // mode of its own; the display's desktop mode still knows the refresh.
    const int display = SDL_GetWindowDisplayIndex(window.window);
    if (display >= 0 && SDL_GetDesktopDisplayMode(display, &mode) == 0) return mode.refresh_rate;
    return 0;
}

// Reads the drawable size into window; whether it differs from what was recorded.
static bool drawableSizeChanged(DemoWindow& window) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window.window, &width, &height);
    if (width <= 0 || height <= 0 || (width == window.width && height == window.height))
        return false;
    window.width = width;
    window.height = height;
    return true;
}

// Window events after which the picture on screen may be gone and must be drawn anew.
static bool contentsLost(uint8_t windowEvent) {
    return windowEvent == SDL_WINDOWEVENT_EXPOSED || windowEvent == SDL_WINDOWEVENT_SHOWN ||
           windowEvent == SDL_WINDOWEVENT_RESTORED;
}

WindowEvents pumpWindowEvents(DemoWindow& window) {
    if (quitSignalled()) std::exit(0);
    WindowEvents events = {false, false};
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_ESCAPE) std::exit(0);
            break;
        case SDL_QUIT: std::exit(0);
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) std::exit(0);
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                events.resized = drawableSizeChanged(window) || events.resized;
            events.exposed = contentsLost(event.window.event) || events.exposed;
            break;
        case SDL_SYSWMEVENT: endIfDestroyed(event.syswm.msg); break;
        default: break;
        }
    }
    return events;
}
