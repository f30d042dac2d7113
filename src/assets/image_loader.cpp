#include "assets/image_loader.h"

#include "assets/picture_check.h"
#include "assets/picture_decoder.h"
#include "assets/printable.h"
#include "assets/regular_file.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int kDecodedChannels = 4;  // R, G, B, A, whatever the file holds

std::string cannotLoad(const char* path, const std::string& reason) {
    return std::string("cannot load ") + path + ": " + reason;
}

// The decoder's reason as printable ASCII: it can carry bytes of the file (an unknown PNG
// chunk is named by its four type bytes, which may be control characters, NUL or bytes
// above 127), and a chunk type is ASCII letters, so every other byte shows as \xNN.
std::string asciiReason(const char* reason) {
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

// The decoder's terse reason in plain words, its own word kept in brackets.
std::string decoderReason(PictureFormat format) {
    const char* reason = decodedPictureFailure();
    if (!reason || !*reason) return "undecodable picture (the decoder gave no reason)";
    const std::string word = asciiReason(reason);
    if (word == "outofdata" || word == "unexpected end") return "truncated file (" + word + ")";
    if (word == "not enough pixels") return "truncated image data (" + word + ")";
    if (word == "expected marker") return "truncated or corrupt JPEG (" + word + ")";
    if (word == "outofmem") return "out of memory (" + word + ")";
    return std::string(format == PictureFormat::png ? "corrupt PNG (" : "corrupt JPEG (") + word +
           ")";
}

std::string dimensions(uint64_t w, uint64_t h) {
    return std::to_string(w) + "x" + std::to_string(h);
}

uint64_t decodedBytesOf(uint64_t w, uint64_t h) {
    return w * h * kDecodedChannels;  // w and h below 2^32: no overflow in 64 bits
}

std::string sizeProblem(uint64_t w, uint64_t h) {
    if (w && h && decodedBytesOf(w, h) <= kMaxDecodedBytes) return "";
    return dimensions(w, h) + " pixels would decode to more than 64 MiB";
}

std::string headerProblem(const std::vector<uint8_t>& bytes, PictureHeader& header) {
    PictureFormat format = PictureFormat::png;
    const std::string problem = pictureFormatProblem(bytes.data(), bytes.size(), format);
    if (!problem.empty()) return problem;
    return format == PictureFormat::png ? pngHeaderProblem(bytes.data(), bytes.size(), header)
                                        : jpegHeaderProblem(bytes.data(), bytes.size(), header);
}

}  // namespace

PictureLoad decodePictureWithin(std::vector<uint8_t> bytes, const char* path, ArgbGfx& slot,
                                uint64_t budgetBytes, uint64_t& decodedBytes,
                                std::string& problem) {
    decodedBytes = 0;
    PictureHeader header;
    std::string reason = fileSizeProblem(bytes.size(), kMaxPictureFileBytes);
    if (reason.empty()) reason = headerProblem(bytes, header);
    if (reason.empty() && header.sized) {
        reason = sizeProblem(header.width, header.height);
        if (reason.empty()) {
            decodedBytes = decodedBytesOf(header.width, header.height);
            if (decodedBytes > budgetBytes) {
                problem = cannotLoad(path, dimensions(header.width, header.height) +
                                               " pixels would decode to more than the budget left");
                return PictureLoad::overBudget;
            }
            if (header.format == PictureFormat::png)
                reason = pngDataProblem(bytes.data(), bytes.size());
        }
    }
    if (!reason.empty()) {
        problem = cannotLoad(path, reason);
        return PictureLoad::refused;
    }

    int w = 0, h = 0;
    uint8_t* decoded = decodePictureRgba(bytes.data(), bytes.size(), &w, &h);
    bytes = std::vector<uint8_t>();  // the file's bytes are no longer needed
    if (!decoded) {
        problem = cannotLoad(path, decoderReason(header.format));
        return PictureLoad::refused;
    }
    // The copy trusts only what the decoder returned, checked again.
    reason = w > 0 && h > 0 ? sizeProblem(uint64_t(w), uint64_t(h)) : "the decoder gave no size";
    if (reason.empty() &&
        (!header.sized || uint32_t(w) != header.width || uint32_t(h) != header.height))
        reason = "the decoder gave " + dimensions(uint64_t(w), uint64_t(h)) +
                 " pixels against its header";
    if (!reason.empty()) {
        freeDecodedPicture(decoded);
        problem = cannotLoad(path, reason);
        return PictureLoad::refused;
    }
    slot.allocate(w, h);
    if (!slot.pixels) {
        freeDecodedPicture(decoded);
        problem = cannotLoad(
            path, "out of memory for " + dimensions(uint64_t(w), uint64_t(h)) + " pixels");
        return PictureLoad::refused;
    }
    std::memcpy(slot.pixels, decoded, size_t(w) * size_t(h) * kDecodedChannels);
    freeDecodedPicture(decoded);
    return PictureLoad::loaded;
}

PictureLoad loadPictureWithin(const char* path, ArgbGfx& slot, uint64_t budgetBytes,
                              uint64_t& decodedBytes, std::string& problem) {
    decodedBytes = 0;
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!readRegularFile(path, kMaxPictureFileBytes, bytes, reason)) {
        problem = cannotLoad(path, reason);
        return PictureLoad::refused;
    }
    return decodePictureWithin(std::move(bytes), path, slot, budgetBytes, decodedBytes, problem);
}

bool tryDecodeImageInto(const uint8_t* bytes, size_t size, const char* name, ArgbGfx& slot,
                        std::string& problem) {
    uint64_t decodedBytes = 0;
    std::vector<uint8_t> copy(bytes, bytes + size);
    return decodePictureWithin(std::move(copy), name, slot, kMaxDecodedBytes, decodedBytes,
                               problem) == PictureLoad::loaded;
}

bool tryLoadImageInto(const char* path, ArgbGfx& slot, std::string& problem) {
    uint64_t decodedBytes = 0;
    return loadPictureWithin(path, slot, kMaxDecodedBytes, decodedBytes, problem) ==
           PictureLoad::loaded;
}

void loadImageInto(const char* path, ArgbGfx& slot) {
    std::string problem;
    if (!tryLoadImageInto(path, slot, problem))
        std::fprintf(stderr, "assets: %s\n", printable(problem).c_str());
}
