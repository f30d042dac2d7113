// Writes the synthetic picture pack of the golden record into a folder, under the data
// pack's file names: every picture made from numbers alone, so the same on every run.
// usage: golden-pack DIR
#include "assets/data_pack_manifest.h"
#include "png_bytes.h"
#include "test_pack.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

bool makeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return true;
    std::fprintf(stderr, "golden-pack: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
}

bool writePicture(const std::string& path, const ArgbGfx& picture) {
    const size_t count = size_t(picture.width) * size_t(picture.height);
    const std::vector<uint8_t> png =
        encodePng(rgbaBytes(picture.pixels, count), picture.width, picture.height, 4);
    FILE* file = std::fopen(path.c_str(), "wb");
    bool written =
        file && !png.empty() && std::fwrite(png.data(), 1, png.size(), file) == png.size();
    if (file && std::fclose(file) != 0) written = false;
    if (!written) std::fprintf(stderr, "golden-pack: cannot write %s\n", path.c_str());
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: golden-pack DIR\nWrites the synthetic pictures of the golden record "
                     "into DIR.\n");
        return argc == 2 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    const std::string dir = argv[1];
    if (!makeFolder(dir) || !makeFolder(dir + "/" + kAnimFrameFolder)) return 1;
    scenes_test::fillTestPack();
    for (const PackPicture& picture : packPictures())
        if (!writePicture(dir + "/" + picture.fileName, *picture.slot)) return 1;
    scenes_test::emptyTestPack();
    return 0;
}
