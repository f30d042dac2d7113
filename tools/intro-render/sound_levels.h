#pragma once
// Facts about a track's levels: pure functions over decoded samples.
#include <cstddef>
#include <cstdint>
#include <vector>

struct SoundLevels {
    double leadingSilenceSeconds = 0;  // before the first sample above -60 dBFS; all if none
    bool silent = true;                // no sample above -60 dBFS
    size_t clippedSamples = 0;         // samples in runs of 3 or more at full scale
    double firstClipSeconds = 0;       // where the first such run starts
};

// The levels of interleaved 16-bit audio.
SoundLevels soundLevels(const std::vector<int16_t>& interleaved, int channels, int rate);
