#include "assets/image_loader.h"

#include "assets/picture_file.h"

#include <stb/stb_image.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kDecodedChannels = 4;  // R, G, B, A, whatever the file holds
// The decoder takes the length as an int; no picture the show accepts comes near this.
constexpr long kMaxFileBytes = long(256) << 20;

std::string cannotLoad(const char* path, const std::string& reason) {
    return std::string("cannot load ") + path + ": " + reason;
}

// The decoder's reason as printable text. It may be missing or empty, and it can carry
// bytes of the file: an unknown PNG chunk is named by its four type bytes, which may be
// control characters or NUL.
std::string decoderReason() {
    const char* reason = stbi_failure_reason();
    if (!reason || !*reason) return "undecodable picture (the decoder gave no reason)";
    std::string text;
    for (const char* c = reason; *c; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte >= 0x20 && byte < 0x7F) {
            text += char(byte);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        }
    }
    return text;
}

std::string dimensions(int w, int h) {
    return std::to_string(w) + "x" + std::to_string(h);
}

// The whole file at path in bytes, or why it cannot be read ("" when it was). The file
// may have changed since it was examined: the size is taken from what is read.
std::string readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return std::strerror(errno);
    std::string problem;
    uint8_t chunk[1 << 16];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (bytes.size() + got > size_t(kMaxFileBytes)) {
            problem = "file larger than 256 MiB";
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            if (std::ferror(file)) problem = std::strerror(errno);
            break;
        }
    }
    std::fclose(file);
    return problem;
}

bool withinLimit(int w, int h) {
    if (w <= 0 || h <= 0) return false;
    return uint64_t(w) * uint64_t(h) * kDecodedChannels <= kMaxDecodedBytes;
}

}  // namespace

bool tryDecodeImageInto(const uint8_t* bytes, size_t size, const char* name, ArgbGfx& slot,
                        std::string& problem) {
    if (size == 0) {
        problem = cannotLoad(name, "empty file");
        return false;
    }
    if (size > size_t(kMaxFileBytes)) {
        problem = cannotLoad(name, "file larger than 256 MiB");
        return false;
    }
    // A JPEG with oversized Huffman tables would overrun the decoder.
    if (looksLikeJpeg(bytes, size) && !jpegHuffmanTablesFit(bytes, size)) {
        problem = cannotLoad(name, "corrupt JPEG: a Huffman table lists more than 256 codes");
        return false;
    }
    const int length = int(size);
    int w = 0, h = 0, fileChannels = 0;
    if (!stbi_info_from_memory(bytes, length, &w, &h, &fileChannels)) {
        problem = cannotLoad(name, decoderReason());
        return false;
    }
    if (!withinLimit(w, h)) {
        problem = cannotLoad(name, dimensions(w, h) + " pixels would decode to more than 64 MiB");
        return false;
    }
    stbi_uc* decoded = stbi_load_from_memory(bytes, length, &w, &h, &fileChannels, kDecodedChannels);
    if (!decoded) {
        problem = cannotLoad(name, decoderReason());
        return false;
    }
    // The header was read by a separate pass: the copy trusts only this check.
    if (!withinLimit(w, h)) {
        stbi_image_free(decoded);
        problem = cannotLoad(name, dimensions(w, h) + " pixels would decode to more than 64 MiB");
        return false;
    }
    slot.allocate(w, h);
    if (!slot.pixels) {
        stbi_image_free(decoded);
        problem = cannotLoad(name, "out of memory for " + dimensions(w, h) + " pixels");
        return false;
    }
    std::memcpy(slot.pixels, decoded, size_t(w) * size_t(h) * kDecodedChannels);
    stbi_image_free(decoded);
    return true;
}

bool tryLoadImageInto(const char* path, ArgbGfx& slot, std::string& problem) {
    // The decoder's own reasons are terse and some files must never reach it: a FIFO
    // blocks a reader for ever.
    const std::string fileProblem = pictureFileProblem(path);
    if (!fileProblem.empty()) {
        problem = cannotLoad(path, fileProblem);
        return false;
    }
    std::vector<uint8_t> bytes;
    const std::string readProblem = readWholeFile(path, bytes);
    if (!readProblem.empty()) {
        problem = cannotLoad(path, readProblem);
        return false;
    }
    return tryDecodeImageInto(bytes.data(), bytes.size(), path, slot, problem);
}

void loadImageInto(const char* path, ArgbGfx& slot) {
    std::string problem;
    if (!tryLoadImageInto(path, slot, problem)) std::fprintf(stderr, "assets: %s\n", problem.c_str());
}
