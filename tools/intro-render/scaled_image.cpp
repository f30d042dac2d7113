#include "scaled_image.h"

#include "gfx/argb_gfx.h"
#include "png_bytes.h"

#include <algorithm>
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

FrameLayout frameLayout(int32_t width, int32_t height, int32_t canvasSize, bool evenBlocks) {
    FrameLayout layout;
    layout.width = width;
    layout.height = height;
    if (canvasSize < 1 || width < 1 || height < 1) return layout;
    layout.scale = std::min(width, height) / canvasSize;
    if (evenBlocks) layout.scale -= layout.scale % 2;
    const int32_t side = canvasSize * layout.scale;
    layout.left = (width - side) / 2;
    layout.top = (height - side) / 2;
    if (evenBlocks) {
        layout.left -= layout.left % 2;
        layout.top -= layout.top % 2;
    }
    return layout;
}

bool frameImage(const ArgbGfx& image, const FrameLayout& layout, int32_t channels,
                std::vector<uint8_t>& out) {
    out.clear();
    if (layout.width < 1 || layout.height < 1 || channels < 1 || channels > kRgbaBytes)
        return false;
    // Each factor is below 2^31: the product fits in 64 bits before the check.
    const uint64_t wanted = uint64_t(layout.width) * uint64_t(layout.height) * uint64_t(channels);
    const size_t bytes = wanted <= kMaxScaledBytes ? size_t(wanted) : 0;
    const int64_t right = int64_t(layout.left) + int64_t(image.width) * layout.scale;
    const int64_t bottom = int64_t(layout.top) + int64_t(image.height) * layout.scale;
    if (bytes == 0 || layout.left < 0 || layout.top < 0 || right > layout.width ||
        bottom > layout.height)
        return false;
    std::vector<uint8_t> square;
    if (!scaleImage(image, layout.scale, channels, square)) return false;
    const uint8_t grey[kRgbaBytes] = {kFrameGrey, kFrameGrey, kFrameGrey, 0xFF};
    out.resize(bytes);
    for (size_t at = 0; at < bytes; at += size_t(channels))
        std::memcpy(&out[at], grey, size_t(channels));
    const size_t frameRow = size_t(layout.width) * size_t(channels);
    const size_t squareRow = size_t(right - layout.left) * size_t(channels);
    for (int64_t y = 0; y < bottom - layout.top; ++y)
        std::memcpy(
            &out[size_t(layout.top + y) * frameRow + size_t(layout.left) * size_t(channels)],
            &square[size_t(y) * squareRow], squareRow);
    return true;
}
