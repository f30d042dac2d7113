#pragma once
// Hostile picture files, made the same on every run: each with the exact reason the loader
// gives for it ("" when it loads). Shared by the unit tests, the fuzz seeds and the
// end-to-end tests (through make_hostile_picture).
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct PictureCase {
    std::string name;
    Bytes bytes;
    std::string reason;
};

// Every case; those of more than a few kilobytes are made from repeated deflate blocks in
// milliseconds.
std::vector<PictureCase> hostilePictureCases();

// One case by name; false when there is none.
bool hostilePictureCase(const std::string& name, PictureCase& out);

// A PNG of the given header fields whose image data is `raw` (filter bytes included),
// deflated, in one chunk; chunks ("PLTE" body and so on) are put before it.
struct PngChunk {
    std::string type;
    Bytes body;
};
Bytes pngOf(uint32_t w, uint32_t h, uint8_t depth, uint8_t colour, uint8_t interlace,
            const Bytes& raw, const std::vector<PngChunk>& before = {});

// A zlib stream of `bytes` zero bytes, built from one repeated deflate block: a stream
// inflating to gigabytes costs megabytes and milliseconds.
Bytes zlibOfZeros(uint64_t bytes);

// A PNG of w x h 8-bit RGBA pixels all 0 (its image data of zeros).
Bytes flatPng(uint32_t w, uint32_t h);

// A baseline JPEG of w x h grey-blue pixels, from the encoder of the stb library.
Bytes smallJpeg(int w, int h);
