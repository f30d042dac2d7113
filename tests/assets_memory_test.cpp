// The loader's decode-from-memory entry, which the web module feeds with fetched bytes:
// it fills a slot exactly as loading the same bytes from a file does, and refuses what the
// file path refuses, naming the picture as it was given.
#include "assets/image_loader.h"
#include "assets_test_files.h"

#include <stb/stb_image_write.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> encoded(int w, int h, int comp, const std::vector<uint8_t>& pixels,
                             bool jpeg) {
    std::vector<uint8_t> out;
    auto append = [](void* context, void* data, int size) {
        auto* bytes = static_cast<std::vector<uint8_t>*>(context);
        bytes->insert(bytes->end(), static_cast<uint8_t*>(data),
                      static_cast<uint8_t*>(data) + size);
    };
    const int ok = jpeg ? stbi_write_jpg_to_func(append, &out, w, h, comp, pixels.data(), 90)
                        : stbi_write_png_to_func(append, &out, w, h, comp, pixels.data(), w * comp);
    EXPECT_NE(ok, 0);
    return out;
}

std::vector<uint8_t> pattern(size_t bytes) {
    std::vector<uint8_t> out(bytes);
    for (size_t i = 0; i < bytes; ++i) out[i] = uint8_t(i * 37 + i / 7);
    return out;
}

// What decoding `bytes` from memory and from a file each leave in a slot and say.
struct BothWays {
    std::vector<uint32_t> fromMemory, fromFile;
    std::string memoryProblem, fileProblem;
    bool memoryLoaded = false, fileLoaded = false;
};

std::vector<uint32_t> pixelsOf(const ArgbGfx& slot) {
    if (!slot.pixels) return {};
    return std::vector<uint32_t>(slot.pixels,
                                 slot.pixels + size_t(slot.width) * size_t(slot.height));
}

BothWays decodeBothWays(const std::vector<uint8_t>& bytes, const std::string& path) {
    writeBytes(path, bytes);
    BothWays result;
    ArgbGfx memorySlot, fileSlot;
    result.memoryLoaded = tryDecodeImageInto(bytes.data(), bytes.size(), path.c_str(), memorySlot,
                                             result.memoryProblem);
    result.fileLoaded = tryLoadImageInto(path.c_str(), fileSlot, result.fileProblem);
    result.fromMemory = pixelsOf(memorySlot);
    result.fromFile = pixelsOf(fileSlot);
    EXPECT_EQ(memorySlot.width, fileSlot.width);
    EXPECT_EQ(memorySlot.height, fileSlot.height);
    return result;
}

}  // namespace

TEST(DecodeImageFromMemory, FillsTheSlotAsTheFileDoes) {
    TempFolder folder;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        size_t pixels;
    } pictures[] = {
        {"rgba.png", encoded(13, 7, 4, pattern(13 * 7 * 4), false), 13 * 7},
        {"grey.png", encoded(5, 9, 1, pattern(5 * 9), false), 5 * 9},
        {"photo.png", encoded(16, 8, 3, pattern(16 * 8 * 3), true), 16 * 8},
    };
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.name);
        const BothWays result = decodeBothWays(picture.bytes, folder.file(picture.name));
        EXPECT_TRUE(result.memoryLoaded) << result.memoryProblem;
        EXPECT_TRUE(result.fileLoaded) << result.fileProblem;
        EXPECT_EQ(result.fromMemory.size(), picture.pixels);
        EXPECT_EQ(result.fromMemory, result.fromFile);
    }
}

TEST(DecodeImageFromMemory, RefusesWhatTheFileRefusesNamingThePicture) {
    TempFolder folder;
    const std::vector<uint8_t> hugeTables = {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x01, 0x01, 0xFF, 0xE0};
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string reason;
    } cases[] = {
        {"too large", pngHeaderOnly(4097, 4097),
         "4097x4097 pixels would decode to more than 64 MiB"},
        {"JPEG tables", hugeTables, "corrupt JPEG: a Huffman table lists more than 256 codes"},
        {"no picture", {'n', 'o', 'p', 'e'}, "unsupported picture format (unknown image type)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.file("x.png");
        const BothWays result = decodeBothWays(c.bytes, path);
        EXPECT_FALSE(result.memoryLoaded);
        EXPECT_FALSE(result.fileLoaded);
        EXPECT_EQ(result.memoryProblem, "cannot load " + path + ": " + c.reason);
        EXPECT_EQ(result.memoryProblem, result.fileProblem);
        EXPECT_TRUE(result.fromMemory.empty());
    }
    // No bytes at all (a fetched empty file), with the name the caller gave.
    ArgbGfx slot;
    std::string problem;
    EXPECT_FALSE(tryDecodeImageInto(nullptr, 0, "data/barf.png", slot, problem));
    EXPECT_EQ(problem, "cannot load data/barf.png: empty file");
    EXPECT_EQ(slot.pixels, nullptr);
}

// A refused picture leaves a filled slot as it was.
TEST(DecodeImageFromMemory, FailureKeepsTheSlotsPicture) {
    const std::vector<uint8_t> good = encoded(3, 2, 4, pattern(3 * 2 * 4), false);
    ArgbGfx slot;
    std::string problem;
    ASSERT_TRUE(tryDecodeImageInto(good.data(), good.size(), "good.png", slot, problem)) << problem;
    const std::vector<uint32_t> before = pixelsOf(slot);
    const std::vector<uint8_t> bad = pngHeaderOnly(1, 1);
    EXPECT_FALSE(tryDecodeImageInto(bad.data(), bad.size(), "bad.png", slot, problem));
    EXPECT_EQ(slot.width, 3);
    EXPECT_EQ(pixelsOf(slot), before);
}
