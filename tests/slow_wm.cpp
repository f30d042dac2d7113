// A window manager that holds each window's map request for a while, as a busy desktop
// may: it prints "request" when a request comes, maps the window HOLD_MS later and then
// prints "mapped". Other requests are granted as asked.
// usage: slow_wm HOLD_MS
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

static bool anotherManager = false;

static int noteAnotherManager(Display*, XErrorEvent*) {
    anotherManager = true;
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: slow_wm HOLD_MS\n", stderr);
        return 2;
    }
    const useconds_t hold = useconds_t(std::atoi(argv[1])) * 1000;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("slow_wm: cannot open the display\n", stderr);
        return 1;
    }
    XSetErrorHandler(noteAnotherManager);
    XSelectInput(display, DefaultRootWindow(display), SubstructureRedirectMask);
    XSync(display, False);
    if (anotherManager) {
        std::fputs("slow_wm: another window manager runs\n", stderr);
        return 1;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::puts("ready");
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapRequest) {
            std::puts("request");
            usleep(hold);
            XMapWindow(display, event.xmaprequest.window);
            XSync(display, False);
            std::puts("mapped");
        } else if (event.type == ConfigureRequest) {
            const XConfigureRequestEvent& r = event.xconfigurerequest;
            XWindowChanges changes = {r.x,     r.y,     r.width, r.height, r.border_width,
                                      r.above, r.detail};
            XConfigureWindow(display, r.window, unsigned(r.value_mask), &changes);
        }
    }
}
