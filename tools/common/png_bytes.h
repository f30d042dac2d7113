#pragma once
#include <cstdint>
#include <vector>

// An 8-bit PNG of width x height pixels of `channels` bytes each (3: R, G, B; 4: R, G, B,
// A), rows top first and packed. The same pixels always give the same bytes. Empty on an
// encoder failure.
std::vector<uint8_t> encodePngBytes(const uint8_t* pixels, int32_t width, int32_t height, int channels);
