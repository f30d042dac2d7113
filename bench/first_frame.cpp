// Times a program from its launch to its first picture on screen: runs COMMAND and
// watches the screen until the pixel at (X, Y) turns grey 80, 80, 80, the colour of the
// presenter's bars and of the bare program's cleared frame. Then ends the program with
// SIGTERM and waits for it.
// usage: first_frame X Y COMMAND [ARG...]
// Prints "first frame MS ms" (milliseconds from fork to the grey pixel, read at each
// change of the screen). Status 1 when the program ends first or 20 s pass.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

static double nowMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

static bool isGrey(Display* display, Window root, int x, int y) {
    XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel == 0x505050;  // 24-bit TrueColor, 8 bits per channel
}

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: first_frame X Y COMMAND [ARG...]\n", stderr);
        return 2;
    }
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    Display* display = XOpenDisplay(nullptr);
    int eventBase = 0, errorBase = 0;
    if (!display || !XDamageQueryExtension(display, &eventBase, &errorBase)) {
        std::fputs("first_frame: no X server with the DAMAGE extension\n", stderr);
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    // The window of a program that just ended may take a moment to go.
    for (int i = 0; isGrey(display, root, x, y); ++i) {
        if (i == 500) {
            std::fputs("first_frame: the pixel is grey before the program starts\n", stderr);
            return 1;
        }
        usleep(10000);
    }
    // Damage on the root reports drawing anywhere on the screen, child windows included.
    const Damage damage = XDamageCreate(display, root, XDamageReportNonEmpty);
    XSync(display, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[3], argv + 3);
        std::perror(argv[3]);
        _exit(127);
    }
    double shown = -1;
    while (shown < 0 && nowMs() - start < 20000) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "first_frame: %s ended before its first frame\n", argv[3]);
            return 1;
        }
        pollfd fd = {ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 50);
        bool changed = false;
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            changed = changed || event.type == eventBase + XDamageNotify;
        }
        if (!changed) continue;
        XDamageSubtract(display, damage, None, None);
        if (isGrey(display, root, x, y)) shown = nowMs() - start;
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    if (shown < 0) {
        std::fputs("first_frame: no grey pixel within 20 s\n", stderr);
        return 1;
    }
    std::printf("first frame %.1f ms\n", shown);
    return 0;
}
