#include "png_bytes.h"

#include <stb/stb_image_write.h>

namespace {

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> encodePngBytes(const uint8_t* pixels, int32_t width, int32_t height, int channels) {
    std::vector<uint8_t> png;
    if (!stbi_write_png_to_func(appendBytes, &png, width, height, channels, pixels, width * channels))
        png.clear();
    return png;
}
