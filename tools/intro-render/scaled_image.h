#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class ArgbGfx;

// Bytes per pixel of the two layouts the tool writes.
constexpr int32_t kRgbBytes = 3;   // R, G, B: PNG pictures, alpha dropped
constexpr int32_t kRgbaBytes = 4;  // R, G, B, A: frames for the encoder

// Byte size of an image.width x scale by image.height x scale picture of `channels`
// bytes per pixel, or 0 when that exceeds limit (or scale is below 1).
size_t scaledByteSize(const ArgbGfx& image, int32_t scale, int32_t channels, size_t limit);

// The largest scaled picture made: a 4096 x 4096 RGBA frame and the largest contact sheet
// fit with room to spare.
constexpr size_t kMaxScaledBytes = size_t(256) << 20;

// Every pixel of image as a scale x scale block (nearest neighbour, no blending), rows top
// first, `channels` bytes per pixel taken from R, G, B, A in that order; out is resized to
// fit. False, with out empty, when that would take more than kMaxScaledBytes.
bool scaleImage(const ArgbGfx& image, int32_t scale, int32_t channels, std::vector<uint8_t>& out);
