#include "assets/image_loader.h"

#include <stb/stb_image.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kDecodedChannels = 4;  // R, G, B, A, whatever the file holds

std::string cannotLoad(const char* path, const std::string& reason) {
    return std::string("cannot load ") + path + ": " + reason;
}

std::string decoderReason() {
    const char* reason = stbi_failure_reason();
    return reason ? reason : "unknown decoder failure";
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
