#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The measuring signal: silence with a 1 ms click on every beat at 150 beats per minute,
// 44.1 kHz stereo, the first click on beat 1 (0.4 s).
constexpr double kClickBeatSeconds = 0.4;

// Interleaved stereo 16-bit samples of `seconds` of the click track.
std::vector<int16_t> makeClickTrack(double seconds);

// Onsets of the clicks in interleaved stereo samples, in frames (fractional: where the
// left channel's magnitude first crosses half the click's level, interpolated between
// samples). A click is only taken after at least 100 ms of quiet, so the coder's ringing
// after a click and its pre-echo before one never count.
std::vector<double> findClickOnsets(const int16_t* samples, size_t frames);

// Track times in seconds of the clicks in the MP3 file at path as our reader decodes it,
// found as in a recording, so the coder's own shaping of a click cancels out. Empty with
// reason set when the file cannot be decoded.
std::vector<double> decodedClickSeconds(const std::string& path, std::string& reason);
