#pragma once
#include <cstdint>
#include <vector>

// Stereo 44.1 kHz drum hits at `bpm`, the first at firstHitSeconds (earlier ones fall
// before the start and are cut, as a trimmed track's), for `seconds`: a decaying low thump
// with a noisy attack, over a quiet steady tone.
std::vector<int16_t> drumHits(double bpm, double firstHitSeconds, double seconds);
