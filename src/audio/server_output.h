#pragma once
#include <cstddef>
#include <cstdint>

// What a sound server's output calls back, on its own thread with the output locked.

// Fill `out` with exactly `bytes` bytes (a multiple of 4) of 44.1 kHz, 2-channel, signed
// 16-bit native-endian sound. latencyBytes: sound written earlier and not yet heard, in
// bytes of the stream; negative after an underrun; kLatencyUnknown (see music_clock.h)
// before the server's first timing report.
using ServerFill = void (*)(void* user, uint8_t* out, size_t bytes, int64_t latencyBytes);

// Called once when the server or the stream goes away after playback has started.
using ServerLost = void (*)(void* user);
