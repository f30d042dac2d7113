#pragma once
#include <cstdint>
#include <vector>

#include "synth_dsp.h"

// The soundtrack: 150 BPM, beat 0 at frame 0, in blocks of 8 beats that follow the show.
// 340 beats (136 s): the last sounds die away by beat 334 and the rest is silence.
constexpr int kSongBeats = 340;
constexpr int64_t kSongFrames = kSongBeats * kBeatFrames;

// The separately rendered parts of the song before mixing.
struct SongParts {
    StereoBus drums{kSongFrames};
    // Everything pitched; ducked under each kick.
    StereoBus music{kSongFrames};
    // Send into the stereo echo (lead, stabs, bells); ducked like music.
    MonoBus echo{kSongFrames};
    // Start frames of the kicks, in any order.
    std::vector<int64_t> kicks;
};

// Writes the whole score into parts.
void arrangeSong(SongParts& parts);
// Ducks, echoes, removes DC, rounds off peaks, sets the peak to -3 dBFS and fades the last beats to
// zero: interleaved 16-bit stereo, left first.
std::vector<int16_t> mixSong(const SongParts& parts);
