#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Why the file at path cannot hold a picture, found before the decoder opens it, or ""
// when the decoder may try: it cannot be opened ("No such file or directory",
// "Permission denied"), is a directory or no regular file (a FIFO would block the decoder
// for ever), is empty, or is a JPEG whose Huffman tables would overrun the decoder's.
std::string pictureFileProblem(const char* path);

// True when the decoder takes these bytes for a JPEG: one or more 0xFF, then 0xD8.
bool looksLikeJpeg(const uint8_t* data, size_t size);

// False when some Huffman table segment (0xFF 0xC4) lists more than 256 codes in one table,
// which the decoder copies into 256-entry arrays without checking. Every 0xFF 0xC4 in the
// bytes counts, wherever the decoder may find it; bytes past the end read as 0, as the
// decoder reads them.
bool jpegHuffmanTablesFit(const uint8_t* data, size_t size);
