// Pictures whose decoder failure would print badly or that the decoder cannot be given:
// the reason named in the warning is always printable text and never empty, and a path
// that is no regular file is refused before it is opened.
#include "assets/image_loader.h"
#include "assets/picture_check.h"
#include "gfx/argb_gfx.h"

#include "assets_test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// A valid 4 x 4 PNG with an empty critical chunk of the given type after its header:
// the decoder refuses it, naming the chunk by its four type bytes.
std::vector<uint8_t> pngWithChunk(const TempFolder& folder, const uint8_t (&type)[4]) {
    writeSolidPng(folder.file("base.png"), 4, 4, 0xFF0000FF);
    std::vector<uint8_t> png = readBytes(folder.file("base.png"));
    const size_t afterHeader = 8 + 4 + 4 + 13 + 4;  // signature, IHDR length, type, body, CRC
    const std::vector<uint8_t> chunk = {0, 0, 0, 0, type[0], type[1], type[2], type[3], 0, 0, 0, 0};
    png.insert(png.begin() + long(afterHeader), chunk.begin(), chunk.end());
    return png;
}

// The reason given for the file at path, after "cannot load <path>: ".
std::string problemLoadingPath(const std::string& path) {
    ArgbGfx slot;
    std::string problem;
    EXPECT_FALSE(tryLoadImageInto(path.c_str(), slot, problem));
    EXPECT_EQ(slot.pixels, nullptr);
    const std::string prefix = "cannot load " + path + ": ";
    EXPECT_EQ(problem.compare(0, prefix.size(), prefix), 0) << problem;
    return problem.substr(prefix.size());
}

std::string problemLoading(const TempFolder& folder, const std::vector<uint8_t>& bytes) {
    const std::string path = folder.file("picture.png");
    writeBytes(path, bytes);
    return problemLoadingPath(path);
}

}  // namespace

// Bytes of the file that reach the reason (here an escape sequence that would clear a
// terminal) are written as \xNN.
TEST(LoaderReason, ControlBytesFromTheFileAreEscaped) {
    TempFolder folder;
    const uint8_t type[4] = {0x1B, '[', '2', 'J'};
    EXPECT_EQ(problemLoading(folder, pngWithChunk(folder, type)),
              "corrupt PNG (\\x1b[2J PNG chunk not known)");
}

TEST(LoaderReason, BytesAbove127AreEscaped) {
    TempFolder folder;
    const uint8_t type[4] = {'Q', 0xC3, 0xA9, 'Z'};
    EXPECT_EQ(problemLoading(folder, pngWithChunk(folder, type)),
              "corrupt PNG (Q\\xc3\\xa9Z PNG chunk not known)");
}

// A chunk type starting with NUL leaves the decoder's reason empty.
TEST(LoaderReason, AnEmptyReasonIsReplaced) {
    TempFolder folder;
    const uint8_t type[4] = {0, 'a', 'b', 'c'};
    EXPECT_EQ(problemLoading(folder, pngWithChunk(folder, type)),
              "undecodable picture (the decoder gave no reason)");
}

// The decoder's fopen of a FIFO waits for a writer that never comes: the intro would hang
// at start-up. It is refused from what the path is, opened without waiting; so is a device.
TEST(LoaderNonRegularFile, FifoAndDeviceAreRefusedUnopened) {
    TempFolder folder;
    const std::string fifo = folder.file("fifo.png");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(problemLoadingPath(fifo), "not a regular file");
    EXPECT_EQ(problemLoadingPath("/dev/null"), "not a regular file");
}

TEST(LoaderNonRegularFile, DirectoryIsNamedAsSuch) {
    TempFolder folder;
    const std::string dir = folder.file("folder.png");
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    EXPECT_EQ(problemLoadingPath(dir), "Is a directory");
}

// A picture reached through a symbolic link is a regular file and loads.
TEST(LoaderNonRegularFile, SymbolicLinkToAPictureLoads) {
    TempFolder folder;
    writeSolidPng(folder.file("real.png"), 2, 3, 0xFF0000FFu);
    const std::string link = folder.file("link.png");
    ASSERT_EQ(symlink(folder.file("real.png").c_str(), link.c_str()), 0);
    ArgbGfx slot;
    std::string problem;
    ASSERT_TRUE(tryLoadImageInto(link.c_str(), slot, problem)) << problem;
    EXPECT_EQ(slot.width, 2);
    EXPECT_EQ(slot.height, 3);
    EXPECT_EQ(slot.pixels[0], 0xFF0000FFu);
}

// The operating system's reasons, not the decoder's "can't fopen" or "unknown image type".
TEST(LoaderFileProblem, MissingAndEmptyFilesAreNamedPlainly) {
    TempFolder folder;
    EXPECT_EQ(problemLoadingPath(folder.file("missing.png")), "No such file or directory");
    EXPECT_EQ(problemLoading(folder, {}), "empty file");
}

// The decoder copies each table's codes into arrays of 256 without counting them: these
// 9 bytes made it write past them. Such a file never reaches it.
TEST(LoaderFileProblem, JpegHuffmanTableWithTooManyCodesIsRefused) {
    TempFolder folder;
    const std::vector<uint8_t> overrun = {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x01, 0x01, 0xFF, 0xE0};
    EXPECT_EQ(problemLoading(folder, overrun),
              "corrupt JPEG: a Huffman table lists more than 256 codes");
}

TEST(LoaderFileProblem, HuffmanTablesAreCountedTableByTable) {
    // Segment length 2 + 2 x (17 + 128): two tables of 128 codes, then one of 257 in a
    // later segment behind fill bytes.
    std::vector<uint8_t> jpeg = {0xFF, 0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x24};
    for (int table = 0; table < 2; ++table) {
        jpeg.push_back(uint8_t(table));
        for (int i = 0; i < 16; ++i) jpeg.push_back(i == 7 ? 128 : 0);
        jpeg.insert(jpeg.end(), 128, 0x11);
    }
    EXPECT_TRUE(looksLikeJpeg(jpeg.data(), jpeg.size()));
    EXPECT_TRUE(jpegHuffmanTablesFit(jpeg.data(), jpeg.size()));
    const std::vector<uint8_t> tooMany = {0xFF, 0xFF, 0xC4, 0x00, 0x13, 0x10, 200, 57};
    jpeg.insert(jpeg.end(), tooMany.begin(), tooMany.end());
    EXPECT_FALSE(jpegHuffmanTablesFit(jpeg.data(), jpeg.size()));
    // 256 codes in one table is the most the decoder holds, and fits.
    const std::vector<uint8_t> full = {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x13, 0x00, 200, 56};
    EXPECT_TRUE(jpegHuffmanTablesFit(full.data(), full.size()));
}

TEST(LoaderFileProblem, OnlyJpegContentIsSearchedForTables) {
    // A PNG may hold 0xFF 0xC4 anywhere in its compressed data; it goes to the decoder.
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0xFF, 0xC4, 0x00, 0x13, 0x00, 255, 255};
    EXPECT_FALSE(looksLikeJpeg(png.data(), png.size()));
    EXPECT_FALSE(looksLikeJpeg(nullptr, 0));
    const std::vector<uint8_t> fillOnly = {0xFF, 0xFF};
    EXPECT_FALSE(looksLikeJpeg(fillOnly.data(), fillOnly.size()));
}
