#pragma once
#include <cstdint>

constexpr double kBeatsPerMinute = 150;
constexpr int32_t kCanvasSize = 64;

// The musical position of one frame; every picture is a function of these alone.
struct FrameTime {
    double beat;          // seconds * 150 / 60
    int32_t wholeBeat;    // beat truncated toward zero
    int32_t block;        // wholeBeat >> 3, sign-extending: 8 beats per block
    double blockBeat;     // beat - 8 * block
    double beatFraction;  // beat - wholeBeat
};
