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

// The grey around the square, as the intro's window clears it.
constexpr uint8_t kFrameGrey = 80;

// Where the canvas lies in a width x height frame (--size): a square of canvas pixels as
// scale x scale blocks, the largest whole scale that fits, centred (left and top rounded
// down), grey around it. evenBlocks: an even scale and an even left and top, so that each
// 2 x 2 colour sample of a 4:2:0 video lies inside one block or the grey. scale is 0 when
// not even one block fits.
struct FrameLayout {
    int32_t width = 0, height = 0;
    int32_t scale = 0;
    int32_t left = 0, top = 0;
};
FrameLayout frameLayout(int32_t width, int32_t height, int32_t canvasSize, bool evenBlocks);

// image in layout's frame: grey (alpha 255) around image scaled as scaleImage does. False,
// with out empty, when the frame takes more than kMaxScaledBytes or the image does not fit.
bool frameImage(const ArgbGfx& image, const FrameLayout& layout, int32_t channels,
                std::vector<uint8_t>& out);
