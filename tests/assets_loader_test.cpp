#include "assets/image_loader.h"
#include "assets_test_files.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include "canvas_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<uint32_t> pixelsOf(const ArgbGfx& image) {
    return std::vector<uint32_t>(image.pixels,
                                 image.pixels + size_t(image.pitch) * size_t(image.rows));
}

void expectSize(const ArgbGfx& image, int w, int h) {
    ASSERT_NE(image.pixels, nullptr);
    EXPECT_EQ(image.pitch, w);
    EXPECT_EQ(image.width, w);
    EXPECT_EQ(image.rows, h);
    EXPECT_EQ(image.height, h);
}

// Loads path into slot and returns everything written to stderr meanwhile.
std::string loadCapturingStderr(const std::string& path, ArgbGfx& slot) {
    testing::internal::CaptureStderr();
    loadImageInto(path.c_str(), slot);
    return testing::internal::GetCapturedStderr();
}

struct ChannelCase {
    const char* what;
    int comp;
    std::vector<uint8_t> bytes;  // 2 x 2 pixels
    std::vector<uint32_t> expected;
};

}  // namespace

// Every channel layout a PNG can have arrives as R, G, B, A bytes, i.e. 0xAABBGGRR,
// with alpha 255 where the file has none and grey copied into R, G and B.
TEST(LoadImageInto, EveryChannelLayoutBecomesExactRgbaPixels) {
    const std::vector<ChannelCase> cases = {
        {"rgba",
         4,
         {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 127, 1, 2, 3, 0},
         {0xFF0000FFu, 0x8000FF00u, 0x7FFF0000u, 0x00030201u}},
        {"rgb",
         3,
         {255, 0, 0, 10, 20, 30, 0, 0, 0, 255, 255, 255},
         {0xFF0000FFu, 0xFF1E140Au, 0xFF000000u, 0xFFFFFFFFu}},
        {"grey", 1, {0, 17, 128, 255}, {0xFF000000u, 0xFF111111u, 0xFF808080u, 0xFFFFFFFFu}},
        {"grey+alpha",
         2,
         {17, 0, 17, 127, 200, 128, 255, 255},
         {0x00111111u, 0x7F111111u, 0x80C8C8C8u, 0xFFFFFFFFu}},
    };
    TempFolder folder;
    for (const ChannelCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.file(std::string(c.what) + ".png");
        writePng(path, 2, 2, c.comp, c.bytes);
        ArgbGfx slot;
        EXPECT_EQ(loadCapturingStderr(path, slot), "");
        expectSize(slot, 2, 2);
        EXPECT_EQ(pixelsOf(slot), c.expected);
        EXPECT_EQ(slot.color, 0xFFFFFFFFu);
    }
}

// A 1 x 1 picture sets all four sizes to 1.
TEST(LoadImageInto, OnePixelPicture) {
    TempFolder folder;
    writeSolidPng(folder.file("dot.png"), 1, 1, 0xFF0000FFu);
    ArgbGfx slot;
    loadImageInto(folder.file("dot.png").c_str(), slot);
    expectSize(slot, 1, 1);
    EXPECT_EQ(slot.pixels[0], 0xFF0000FFu);
}

// The first file row is row 0 and pixel (x, y) is element y * 128 + x: no flip, no gap.
TEST(LoadImageInto, LargePictureKeepsRowOrderAndPositions) {
    constexpr int kSize = 128;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> expected;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const uint8_t r = uint8_t(x), g = uint8_t(y), b = uint8_t(x ^ y), a = uint8_t(255 - y);
            bytes.insert(bytes.end(), {r, g, b, a});
            expected.push_back(uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16 |
                               uint32_t(a) << 24);
        }
    TempFolder folder;
    writePng(folder.file("big.png"), kSize, kSize, 4, bytes);
    ArgbGfx slot;
    loadImageInto(folder.file("big.png").c_str(), slot);
    expectSize(slot, kSize, kSize);
    EXPECT_EQ(pixelsOf(slot), expected);
    EXPECT_EQ(slot.pixels[5 * 128 + 77],
              0xFA48054Du);  // (77, 5): r 0x4D, g 0x05, b 0x4D ^ 0x05, a 250
}

// The format comes from the content: a JPEG named .png loads, opaque, as the decoder reads it.
TEST(LoadImageInto, JpegUnderPngNameIsDecodedFromContent) {
    TempFolder folder;
    const std::string path = folder.file("photo.png");
    std::vector<uint8_t> rgb(16 * 8 * 3, 0);
    for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = 255;
    ASSERT_NE(stbi_write_jpg(path.c_str(), 16, 8, 3, rgb.data(), 100), 0);
    ArgbGfx slot;
    EXPECT_EQ(loadCapturingStderr(path, slot), "");
    expectSize(slot, 16, 8);
    int w = 0, h = 0, n = 0;
    stbi_uc* reference = stbi_load(path.c_str(), &w, &h, &n, 4);
    ASSERT_NE(reference, nullptr);
    const std::vector<uint32_t> pixels = pixelsOf(slot);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = pixels[i];
        EXPECT_EQ(p, uint32_t(reference[4 * i]) | uint32_t(reference[4 * i + 1]) << 8 |
                         uint32_t(reference[4 * i + 2]) << 16 |
                         uint32_t(reference[4 * i + 3]) << 24);
        EXPECT_EQ(p >> 24, 0xFFu);
        EXPECT_GE(p & 0xFFu, 0xF0u);
    }
    stbi_image_free(reference);
}

// A second load replaces the picture (old buffer freed: the sanitizer build would see a leak),
// takes the new size and keeps the slot's colour.
TEST(LoadImageInto, SecondLoadReplacesPictureAndKeepsColour) {
    TempFolder folder;
    writeSolidPng(folder.file("a.png"), 4, 4, 0xFF0000FFu);
    writeSolidPng(folder.file("b.png"), 2, 3, 0x80FF0000u);
    ArgbGfx slot;
    loadImageInto(folder.file("a.png").c_str(), slot);
    slot.color = 0x12345678u;
    loadImageInto(folder.file("b.png").c_str(), slot);
    expectSize(slot, 2, 3);
    EXPECT_EQ(pixelsOf(slot), std::vector<uint32_t>(6, 0x80FF0000u));
    EXPECT_EQ(slot.color, 0x12345678u);
}

// A file that cannot be read fails before anything is freed: the old picture stays.
TEST(LoadImageInto, FailedLoadIntoFilledSlotKeepsOldPicture) {
    TempFolder folder;
    writeSolidPng(folder.file("a.png"), 3, 1, 0xFF00FF00u);
    ArgbGfx slot;
    loadImageInto(folder.file("a.png").c_str(), slot);
    EXPECT_NE(loadCapturingStderr(folder.file("gone.png"), slot), "");
    expectSize(slot, 3, 1);
    EXPECT_EQ(pixelsOf(slot), std::vector<uint32_t>(3, 0xFF00FF00u));
}

// Each unusable file gives exactly one "assets: cannot load <file>: <reason>" line and leaves
// the slot empty with its colour untouched.
TEST(LoadImageInto, UnusableFilesWarnOnceAndLeaveSlotEmpty) {
    TempFolder folder;
    writeBytes(folder.file("empty.png"), {});
    writeSolidPng(folder.file("whole.png"), 32, 32, 0xFF0000FFu);
    std::vector<uint8_t> whole = readBytes(folder.file("whole.png"));
    ASSERT_GT(whole.size(), 60u);
    whole.resize(whole.size() / 2);
    writeBytes(folder.file("truncated.png"), whole);
    std::filesystem::create_directory(folder.file("folder.png"));
    writeBytes(folder.file("huge.png"), pngHeaderOnly(5000, 5000));
    writeBytes(folder.file("giant.png"), pngHeaderOnly(30000, 30000));

    struct Case {
        const char* file;
        const char* reason;
    };
    const Case cases[] = {
        {"missing.png", "No such file or directory"},
        {"empty.png", "empty file"},
        {"truncated.png", "truncated file (outofdata)"},
        {"folder.png", "Is a directory"},
        {"huge.png", "5000x5000 pixels would decode to more than 64 MiB"},
        {"giant.png", "30000x30000 pixels would decode to more than 64 MiB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = folder.file(c.file);
        ArgbGfx slot;
        slot.color = 0x01020304u;
        const std::string output = loadCapturingStderr(path, slot);
        expectEmpty(slot);
        EXPECT_EQ(slot.color, 0x01020304u);
        const std::string prefix = "assets: cannot load " + path + ": ";
        ASSERT_EQ(output.compare(0, prefix.size(), prefix), 0) << output;
        ASSERT_EQ(output.back(), '\n');
        const std::string reason = output.substr(prefix.size(), output.size() - prefix.size() - 1);
        EXPECT_EQ(reason.find('\n'), std::string::npos);
        EXPECT_EQ(reason, c.reason);
    }
}

// The limit is on decoded bytes: 4096 x 4096 x 4 is exactly 64 MiB and passes the size check
// (this header then fails only because it has no pixel data); one column more is refused.
TEST(LoadImageInto, SizeLimitIsInclusiveAt64MiB) {
    TempFolder folder;
    writeBytes(folder.file("limit.png"), pngHeaderOnly(4096, 4096));
    writeBytes(folder.file("over.png"), pngHeaderOnly(4097, 4096));
    ArgbGfx slot;
    const std::string atLimit = loadCapturingStderr(folder.file("limit.png"), slot);
    EXPECT_EQ(atLimit.find("64 MiB"), std::string::npos) << atLimit;
    EXPECT_EQ(loadCapturingStderr(folder.file("over.png"), slot),
              "assets: cannot load " + folder.file("over.png") +
                  ": 4097x4096 pixels would decode to more than 64 MiB\n");
    expectEmpty(slot);
}
