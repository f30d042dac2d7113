#include "png_output.h"

#include "png_bytes.h"

std::vector<uint8_t> encodePng(const Picture& pic) {
    // Bytes R, G, B, A per pixel, whatever the host's byte order.
    std::vector<uint8_t> rgba;
    rgba.reserve(pic.pixels.size() * 4);
    for (uint32_t p : pic.pixels) {
        rgba.push_back(static_cast<uint8_t>(p));
        rgba.push_back(static_cast<uint8_t>(p >> 8));
        rgba.push_back(static_cast<uint8_t>(p >> 16));
        rgba.push_back(static_cast<uint8_t>(p >> 24));
    }
    return encodePngBytes(rgba.data(), pic.width, pic.height, 4);
}
