#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A test signal: a quiet 440 Hz tone with one loud click, for encoding to MP3.
struct TestTone {
    int rate = 44100;
    int channels = 2;
    double seconds = 1.0;
    double clickAt = 0.5;  // seconds from the first sample; the click is one loud sample
};

// Samples of the tone, interleaved when stereo.
std::vector<int16_t> makeTonePcm(const TestTone& tone);

// The tone encoded as a constant-bit-rate MP3 at its own rate, with the LAME tag frame
// carrying the encoder delay and padding written back at the start.
std::vector<uint8_t> makeMp3(const TestTone& tone);

// Interleaved 16-bit samples at `rate` encoded the same way.
std::vector<uint8_t> encodeMp3(const std::vector<int16_t>& pcm, int rate, int channels);

// Writes bytes to path; false on failure.
bool writeTestFile(const std::string& path, const std::vector<uint8_t>& bytes);
