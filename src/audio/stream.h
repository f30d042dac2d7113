#pragma once
#include <cstdint>

// The one format of the music stream, from the decoder through every output to the clock:
// 44100 frames a second, 2 channels, signed 16-bit native-endian samples, interleaved.
constexpr int kStreamRate = 44100;
constexpr int kStreamChannels = 2;
constexpr int kStreamBytesPerFrame = kStreamChannels * 2;

// The stream position is counted in bytes of this format.
constexpr int64_t kMusicBytesPerSecond = int64_t(kStreamBytesPerFrame) * kStreamRate;

// Nanoseconds on the monotonic clock that drives the music clock and paces the frame loop
// (std::chrono::steady_clock, which is CLOCK_MONOTONIC on Linux; the performance counter
// on Windows).
int64_t monotonicNs();
