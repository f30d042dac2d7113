#include "png_output.h"

#include <stb/stb_image_write.h>

namespace {

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

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
    std::vector<uint8_t> png;
    if (!stbi_write_png_to_func(appendBytes, &png, pic.width, pic.height, 4, rgba.data(),
                                pic.width * 4))
        png.clear();
    return png;
}
