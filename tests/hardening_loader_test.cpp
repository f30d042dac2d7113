// Pictures whose decoder failure would print badly or that the decoder cannot be given:
// the reason named in the warning is always printable text and never empty, and a path
// that is no regular file is refused before it is opened.
#include "assets/image_loader.h"
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
    EXPECT_EQ(problemLoading(folder, pngWithChunk(folder, type)), "\\x1b[2J PNG chunk not known");
}

TEST(LoaderReason, BytesAbove127AreEscaped) {
    TempFolder folder;
    const uint8_t type[4] = {'Q', 0xC3, 0xA9, 'Z'};
    EXPECT_EQ(problemLoading(folder, pngWithChunk(folder, type)), "Q\\xc3\\xa9Z PNG chunk not known");
}

// A chunk type starting with NUL leaves the decoder's reason empty.
TEST(LoaderReason, AnEmptyReasonIsReplaced) {
    TempFolder folder;
    const uint8_t type[4] = {0, 'a', 'b', 'c'};
    EXPECT_EQ(problemLoading(folder, pngWithChunk(folder, type)),
              "undecodable picture (the decoder gave no reason)");
}

// Opening a FIFO for reading waits for a writer that never comes: the intro would hang at
// start-up. It is refused from what the path is, without opening it; so is a device.
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
