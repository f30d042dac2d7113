#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Pixel p (0xAABBGGRR, the show's layout) as its bytes R, G, B, A, whatever the host's
// byte order.
inline void unpackRgba(uint32_t p, uint8_t out[4]) {
    out[0] = uint8_t(p);
    out[1] = uint8_t(p >> 8);
    out[2] = uint8_t(p >> 16);
    out[3] = uint8_t(p >> 24);
}

// count pixels as 4 * count bytes R, G, B, A.
std::vector<uint8_t> rgbaBytes(const uint32_t* pixels, size_t count);

// An 8-bit PNG of width x height pixels of `channels` bytes each (3: R, G, B; 4: R, G, B,
// A), rows top first and packed. The same pixels always give the same bytes. Empty on an
// encoder failure or when bytes does not hold exactly that picture.
std::vector<uint8_t> encodePng(const std::vector<uint8_t>& bytes, int32_t width, int32_t height,
                               int channels);
