#include "assets/image_loader.h"

#include "assets/picture_file.h"

#include <stb/stb_image.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kDecodedChannels = 4;  // R, G, B, A, whatever the file holds

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

bool withinLimit(int w, int h) {
    if (w <= 0 || h <= 0) return false;
    return uint64_t(w) * uint64_t(h) * kDecodedChannels <= kMaxDecodedBytes;
}

}  // namespace

bool tryLoadImageInto(const char* path, ArgbGfx& slot, std::string& problem) {
    // The decoder's own reasons are terse ("can't fopen") and some files must never reach
    // it: a FIFO blocks it for ever, a JPEG with oversized Huffman tables overruns it.
    const std::string fileProblem = pictureFileProblem(path);
    if (!fileProblem.empty()) {
        problem = cannotLoad(path, fileProblem);
        return false;
    }
    int w = 0, h = 0, fileChannels = 0;
    if (!stbi_info(path, &w, &h, &fileChannels)) {
        problem = cannotLoad(path, decoderReason());
        return false;
    }
    if (!withinLimit(w, h)) {
        problem = cannotLoad(path, dimensions(w, h) + " pixels would decode to more than 64 MiB");
        return false;
    }
    stbi_uc* decoded = stbi_load(path, &w, &h, &fileChannels, kDecodedChannels);
    if (!decoded) {
        problem = cannotLoad(path, decoderReason());
        return false;
    }
    // The file may have changed since its header was read: the copy trusts only this check.
    if (!withinLimit(w, h)) {
        stbi_image_free(decoded);
        problem = cannotLoad(path, dimensions(w, h) + " pixels would decode to more than 64 MiB");
        return false;
    }
    slot.allocate(w, h);
    if (!slot.pixels) {
        stbi_image_free(decoded);
        problem = cannotLoad(path, "out of memory for " + dimensions(w, h) + " pixels");
        return false;
    }
    std::memcpy(slot.pixels, decoded, size_t(w) * size_t(h) * kDecodedChannels);
    stbi_image_free(decoded);
    return true;
}

void loadImageInto(const char* path, ArgbGfx& slot) {
    std::string problem;
    if (!tryLoadImageInto(path, slot, problem)) std::fprintf(stderr, "assets: %s\n", problem.c_str());
}
