#pragma once
#include <cstdint>
#include <vector>

// Sharp changes of single canvas pixels in the show: moments where a pixel turns from one
// colour to a clearly different one and holds each for a while on both sides, so that the
// change seen on a screen leaves no doubt which moment of the show it is.
struct PixelEvent {
    int x, y;         // canvas pixel
    double seconds;   // show time of the change, to a microsecond
    uint32_t before;  // 0xRRGGBB on either side
    uint32_t after;
};

// Longest a colour must hold on each side of a change to count.
constexpr double kEventHoldSeconds = 0.1;

// Up to `pixelCount` canvas pixels whose sharp changes between show times `from` and `to`
// fall at the most distinct moments, and those changes in time order. Draws the show with
// the image slots as they are loaded.
std::vector<PixelEvent> findPixelEvents(double from, double to, int pixelCount);

// Largest difference of the three colour channels.
int colourDistance(uint32_t a, uint32_t b);
