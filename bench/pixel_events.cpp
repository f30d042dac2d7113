#include "pixel_events.h"

#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

// Steps at which the show is scanned; each change found is then narrowed by halving.
static constexpr double kScanStepSeconds = 0.002;

// Least channel difference of a change: clearly apart on any screen, whatever its scaling.
static constexpr int kLeastChange = 64;

static constexpr int kPixels = kCanvasSize * kCanvasSize;

// Least time between two changes of a pixel with the same colours for either to count:
// more than a seen change is ever matched across (av_sync_probe.cpp).
static constexpr double kUniqueSeconds = 0.35;

int colourDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
    return worst;
}

// The canvas of a moment as 0xRRGGBB, as a screen shows it.
static void drawRgb(double seconds, std::vector<uint32_t>& rgb) {
    ArgbGfx canvas;
    rgb.assign(kPixels, 0);
    if (!drawFreshFrame(canvas, frameTimeAtSeconds(seconds))) return;
    for (int i = 0; i < kPixels; ++i) {
        const uint32_t p = canvas.pixels[(i / kCanvasSize) * canvas.pitch + i % kCanvasSize];
        rgb[i] = ((p & 0xff) << 16) | (p & 0xff00) | ((p >> 16) & 0xff);
    }
}

// Where one colour run of a pixel began and which colour it has.
struct Run {
    double start;
    uint32_t colour;
};

// A change awaiting the length of the run after it.
struct Pending {
    double at;  // first step with the new colour
    uint32_t before, after;
    bool open = false;
};

// The change of pixel i between the steps at low (old colour) and high (new colour),
// narrowed to a microsecond.
static double narrow(int i, double low, double high, uint32_t before) {
    std::vector<uint32_t> rgb;
    while (high - low > 1e-6) {
        const double middle = (low + high) / 2;
        drawRgb(middle, rgb);
        (rgb[i] == before ? low : high) = middle;
    }
    return high;
}

std::vector<PixelEvent> findPixelEvents(double from, double to, int pixelCount) {
    std::vector<std::vector<PixelEvent>> found(kPixels);
    std::vector<Run> runs(kPixels);
    std::vector<Pending> pending(kPixels);
    std::vector<uint32_t> rgb;
    drawRgb(from, rgb);
    for (int i = 0; i < kPixels; ++i) runs[i] = {from, rgb[i]};
    const long steps = std::lround((to - from) / kScanStepSeconds);
    for (long step = 1; step <= steps; ++step) {
        const double now = from + double(step) * kScanStepSeconds;
        drawRgb(now, rgb);
        for (int i = 0; i < kPixels; ++i) {
            if (rgb[i] == runs[i].colour && step < steps) continue;
            // The run that ends here confirms the change that began it, when long enough.
            Pending& p = pending[i];
            if (p.open && now - p.at >= kEventHoldSeconds)
                found[i].push_back({i % kCanvasSize, i / kCanvasSize, p.at, p.before, p.after});
            p.open = now - runs[i].start >= kEventHoldSeconds &&
                     colourDistance(runs[i].colour, rgb[i]) >= kLeastChange;
            p.at = now;
            p.before = runs[i].colour;
            p.after = rgb[i];
            runs[i] = {now, rgb[i]};
        }
    }
    // A change whose like (the same colours) comes again on the same pixel soon could be
    // taken for it on the screen: neither counts.
    for (std::vector<PixelEvent>& events : found) {
        std::vector<PixelEvent> apart;
        for (const PixelEvent& e : events) {
            bool alike = false;
            for (const PixelEvent& other : events)
                alike =
                    alike || (&other != &e && other.before == e.before && other.after == e.after &&
                              std::fabs(other.seconds - e.seconds) < kUniqueSeconds);
            if (!alike) apart.push_back(e);
        }
        events = apart;
    }
    // Pixels in turn, each the one adding the most moments not yet covered (to 10 ms).
    std::set<long> covered;
    std::vector<PixelEvent> chosen;
    for (int pick = 0; pick < pixelCount; ++pick) {
        int best = -1;
        size_t bestCount = 0;
        for (int i = 0; i < kPixels; ++i) {
            size_t count = 0;
            for (const PixelEvent& e : found[i])
                count += !covered.count(std::lround(e.seconds * 100));
            if (count > bestCount) {
                best = i;
                bestCount = count;
            }
        }
        if (best < 0) break;
        for (PixelEvent e : found[best]) {
            if (!covered.insert(std::lround(e.seconds * 100)).second) continue;
            e.seconds = narrow(best, e.seconds - kScanStepSeconds, e.seconds, e.before);
            chosen.push_back(e);
        }
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const PixelEvent& a, const PixelEvent& b) { return a.seconds < b.seconds; });
    return chosen;
}
