#include "png_bytes.h"

#include <stb/stb_image_write.h>

namespace {

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> rgbaBytes(const uint32_t* pixels, size_t count) {
    std::vector<uint8_t> bytes(count * 4);
    for (size_t i = 0; i < count; ++i) unpackRgba(pixels[i], &bytes[i * 4]);
    return bytes;
}

std::vector<uint8_t> encodePng(const std::vector<uint8_t>& bytes, int32_t width, int32_t height,
                               int channels) {
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4)) return {};
    // The encoder takes the row stride as an int.
    if (uint64_t(width) * uint64_t(channels) > uint64_t(INT32_MAX)) return {};
    if (bytes.size() != size_t(width) * size_t(height) * size_t(channels)) return {};
    std::vector<uint8_t> png;
    if (!stbi_write_png_to_func(appendBytes, &png, width, height, channels, bytes.data(),
                                width * channels))
        png.clear();
    return png;
}
