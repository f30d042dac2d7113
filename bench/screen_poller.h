#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// Watches single pixels of the X display (DISPLAY) as fast as the server answers, and
// notes when each changes, on the monotonic clock (std::chrono::steady_clock, which is
// CLOCK_MONOTONIC): what a viewer of that display would see, and when.
struct ScreenChange {
    int point;        // index into the points watched
    int64_t ns;       // midway between the last reading of the old colour and the first of the new
    uint32_t colour;  // 0xRRGGBB
};

struct ScreenPoint {
    int x, y;  // on the root window
};

// Polls `points` until `stop` is set; every reading of every point costs one round trip.
// False with reason set when the display cannot be opened or read. `readings` gets the
// number of polling rounds, for the caller to tell how fine the times are.
bool pollScreen(const std::vector<ScreenPoint>& points, const std::atomic<bool>& stop,
                std::vector<ScreenChange>& changes, int64_t& readings, std::string& reason);
