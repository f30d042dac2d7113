#include "png_encode.h"

#include <stb/stb_image_write.h>

namespace {

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> encodeRgbPng(const std::vector<uint8_t>& rgb, int32_t width, int32_t height) {
    std::vector<uint8_t> png;
    if (width <= 0 || height <= 0 || rgb.size() != size_t(width) * size_t(height) * 3u) return png;
    if (!stbi_write_png_to_func(appendBytes, &png, width, height, 3, rgb.data(), width * 3)) png.clear();
    return png;
}
