#include "scaled_image.h"

#include "gfx/argb_gfx.h"
#include "png_bytes.h"

#include <cstring>

size_t scaledByteSize(const ArgbGfx& image, int32_t scale, int32_t channels, size_t limit) {
    if (scale < 1 || channels < 1 || image.width < 0 || image.height < 0) return 0;
    // Each factor is below 2^31, so two products fit in 64 bits before the check.
    const uint64_t rowBytes = uint64_t(image.width) * uint64_t(scale) * uint64_t(channels);
    const uint64_t rows = uint64_t(image.height) * uint64_t(scale);
    if (rowBytes > limit || (rows > 0 && rowBytes > limit / rows)) return 0;
    return size_t(rowBytes * rows);
}

bool scaleImage(const ArgbGfx& image, int32_t scale, int32_t channels, std::vector<uint8_t>& out) {
    out.clear();
    const size_t bytes = scaledByteSize(image, scale, channels, kMaxScaledBytes);
    if (bytes == 0 || channels > kRgbaBytes) return false;
    const size_t rowBytes = size_t(image.width) * size_t(scale) * size_t(channels);
    out.resize(bytes);
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* row = out.data() + size_t(y) * size_t(scale) * rowBytes;
        const uint32_t* source = image.pixels + size_t(y) * size_t(image.pitch);
        uint8_t* at = row;
        for (int32_t x = 0; x < image.width; ++x) {
            uint8_t bytes[kRgbaBytes];
            unpackRgba(source[x], bytes);
            for (int32_t k = 0; k < scale; ++k, at += channels)
                std::memcpy(at, bytes, size_t(channels));
        }
        // The other rows of the block repeat the first.
        for (int32_t k = 1; k < scale; ++k) std::memcpy(row + size_t(k) * rowBytes, row, rowBytes);
    }
    return true;
}
