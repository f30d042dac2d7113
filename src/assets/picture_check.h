#pragma once
// Checks on a picture file's bytes that bound every cost of decoding it before the decoder
// sees it. Each returns "" when the decoder may go on, or the reason the file is refused.
#include <cstddef>
#include <cstdint>
#include <string>

enum class PictureFormat { png, jpeg };

// What the header says. When sized is false the header is one the decoder itself refuses
// at once, before it allocates anything, and gives its own reason.
struct PictureHeader {
    PictureFormat format = PictureFormat::png;
    bool sized = false;
    uint32_t width = 0;
    uint32_t height = 0;
};

// The format from the content, whatever the file's name: "" for PNG or JPEG, otherwise
// "unsupported picture format (BMP)" and the like, "(unknown image type)" when the bytes
// are no picture format known at all.
std::string pictureFormatProblem(const uint8_t* data, size_t size, PictureFormat& format);

// PNG: the chunks walked (lengths checked; CRCs ignored, as the decoder ignores them) and
// the header's width, height, bit depth, colour type and methods checked.
std::string pngHeaderProblem(const uint8_t* data, size_t size, PictureHeader& header);

// PNG, after the header passed and its size is accepted: the image data inflated in a
// streaming pass that stops once it yields more than the header implies; for a palette
// picture every index is checked against the palette's length.
std::string pngDataProblem(const uint8_t* data, size_t size);

// JPEG: the segments up to the frame header followed as the decoder follows them (any
// number of fill bytes); a frame the decoder cannot decode refused by name; then every
// scan's Huffman tables checked as defined, and at most kMaxJpegScans scans.
std::string jpegHeaderProblem(const uint8_t* data, size_t size, PictureHeader& header);
constexpr int kMaxJpegScans = 64;

// True when the decoder takes these bytes for a JPEG: one or more 0xFF, then 0xD8.
bool looksLikeJpeg(const uint8_t* data, size_t size);

// False when some Huffman table segment (0xFF 0xC4) lists more than 256 codes in one table,
// which the decoder copies into 256-entry arrays without checking. Every 0xFF 0xC4 in the
// bytes counts, wherever the decoder may find it; bytes past the end read as 0, as the
// decoder reads them.
bool jpegHuffmanTablesFit(const uint8_t* data, size_t size);
