#include "screen_poller.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

static int64_t nowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

static constexpr int kRestUs = 250;

// A failed XGetImage (a point off the screen) must not end the program: noted instead.
static bool readFailed = false;
static int noteError(Display*, XErrorEvent*) {
    readFailed = true;
    return 0;
}

bool pollScreen(const std::vector<ScreenPoint>& points, const std::atomic<bool>& stop,
                std::vector<ScreenChange>& changes, int64_t& readings, std::string& reason) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        reason = "cannot open the X display";
        return false;
    }
    XSetErrorHandler(noteError);
    const Window root = DefaultRootWindow(display);
    std::vector<uint32_t> last(points.size(), 0);
    std::vector<int64_t> lastSeenNs(points.size(), 0);
    std::vector<bool> known(points.size(), false);
    readings = 0;
    while (!stop.load(std::memory_order_relaxed)) {
        for (size_t i = 0; i < points.size(); ++i) {
            XImage* image =
                XGetImage(display, root, points[i].x, points[i].y, 1, 1, AllPlanes, ZPixmap);
            const int64_t seenNs = nowNs();
            if (!image || readFailed) {
                if (image) XDestroyImage(image);
                XCloseDisplay(display);
                reason = "cannot read the pixel at " + std::to_string(points[i].x) + "," +
                         std::to_string(points[i].y) + " of the display";
                return false;
            }
            const uint32_t colour = uint32_t(XGetPixel(image, 0, 0)) & 0xffffff;
            XDestroyImage(image);
            if (!known[i] || colour != last[i]) {
                const int64_t at = known[i] ? lastSeenNs[i] + (seenNs - lastSeenNs[i]) / 2 : seenNs;
                changes.push_back({int(i), at, colour});
                last[i] = colour;
                known[i] = true;
            }
            lastSeenNs[i] = seenNs;
        }
        ++readings;
        // A short rest between rounds leaves the X server and the player their share of a
        // busy machine; it costs the times a quarter of a millisecond.
        std::this_thread::sleep_for(std::chrono::microseconds(kRestUs));
    }
    XCloseDisplay(display);
    return true;
}
