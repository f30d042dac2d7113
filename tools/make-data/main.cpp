// make-data: writes the show's default data folder, the same bytes on every run.
//   make-data OUTDIR           write every picture, the music and OUTDIR/.version
//   make-data --check OUTDIR   exit 0 when OUTDIR/.version matches this tool's version
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "file_output.h"
#include "mp3_encoder.h"
#include "pictures.h"
#include "png_output.h"
#include "song.h"

namespace {

// Bump whenever any output byte changes, so existing folders are rebuilt.
constexpr char kDataPackVersion[] = "make-data 1";

constexpr char kUsage[] =
    "usage: make-data OUTDIR          write the data folder into OUTDIR\n"
    "       make-data --check OUTDIR  exit 0 if OUTDIR is complete and current, else 1\n"
    "       make-data --help          show this text\n";

std::string versionText() {
    return std::string(kDataPackVersion) + "\n";
}

bool report(const std::string& error) {
    if (error.empty()) return true;
    std::fprintf(stderr, "make-data: %s\n", error.c_str());
    return false;
}

bool writePicture(const std::string& path, const Picture& pic) {
    if (pic.pixels.empty()) return report("cannot draw " + path);
    std::vector<uint8_t> png = encodePng(pic);
    if (png.empty()) return report("cannot encode " + path + " as PNG");
    return report(writeFileAtomically(path, png));
}

bool writePictures(const std::string& dir) {
    struct Still {
        const char* name;
        Picture (*draw)();
    };
    const Still stills[] = {
        {"barf.png", drawBarf},           {"lonestar.png", drawLonestar},
        {"glasses.png", drawGlasses},     {"darkhelmet.png", drawDarkHelmet},
        {"rasberry.png", drawRasberry},   {"darkhelmetnomask.png", drawDarkHelmetNoMask},
        {"lowrezqr.png", drawLowrezQr},
    };
    for (const Still& still : stills)
        if (!writePicture(dir + "/" + still.name, still.draw())) return false;
    for (int frame = 0; frame < kAnimFrameCount; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "/jtranim/jtr%2.2d.png", frame + 1);
        if (!writePicture(dir + name, drawRadarFrame(frame))) return false;
    }
    return true;
}

bool writeMusic(const std::string& dir) {
    std::string path = dir + "/vorb_06_mp3.mp3";
    std::fprintf(stderr, "make-data: synthesizing %s\n", path.c_str());
    std::vector<int16_t> pcm;
    {
        SongParts parts;
        arrangeSong(parts);
        pcm = mixSong(parts);
    }
    std::fprintf(stderr, "make-data: encoding %s\n", path.c_str());
    std::vector<uint8_t> mp3;
    std::string error;
    if (!encodeMp3(pcm, mp3, error)) return report(path + ": " + error);
    return report(writeFileAtomically(path, mp3));
}

int writeDataPack(const std::string& dir) {
    // Without .version a folder counts as incomplete, so take it away before rewriting.
    std::string versionPath = dir + "/.version";
    if (!report(makeDirectories(dir + "/jtranim")) || !report(removeFile(versionPath))) return 1;
    std::fprintf(stderr, "make-data: drawing pictures into %s\n", dir.c_str());
    if (!writePictures(dir) || !writeMusic(dir)) return 1;
    std::string version = versionText();
    if (!report(writeFileAtomically(versionPath, std::vector<uint8_t>(version.begin(), version.end()))))
        return 1;
    std::fprintf(stderr, "make-data: wrote %s (%s)\n", dir.c_str(), kDataPackVersion);
    return 0;
}

int checkDataPack(const std::string& dir) {
    std::string text;
    return readTextFile(dir + "/.version", text) && text == versionText() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0) return checkDataPack(argv[2]);
    if (argc == 2 && argv[1][0] != '-' && argv[1][0] != '\0') return writeDataPack(argv[1]);
    std::fputs(kUsage, stderr);
    return 1;
}
