#include "png_encode.h"

#include "png_bytes.h"

#include <cstddef>

std::vector<uint8_t> encodeRgbPng(const std::vector<uint8_t>& rgb, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || rgb.size() != size_t(width) * size_t(height) * 3u) return {};
    return encodePngBytes(rgb.data(), width, height, 3);
}
