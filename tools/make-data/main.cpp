// make-data: writes the show's default data folder, the same bytes on every run, and
// never touches a file of the user's: a file that differs from what make-data wrote there
// is left alone, with one line naming it.
//   make-data OUTDIR           write what is missing or out of date into OUTDIR
//   make-data --check OUTDIR   exit 0 when OUTDIR is complete and current
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "assets/data_pack_manifest.h"
#include "intro_version.h"
#include "folders.h"
#include "interrupt.h"
#include "mp3_encoder.h"
#include "pack_record.h"
#include "pending_file.h"
#include "pictures.h"
#include "png_bytes.h"
#include "assets/printable.h"
#include "sha256.h"
#include "song.h"

namespace {

// Bump whenever any output byte changes, so existing folders are brought up to date.
constexpr char kDataPackVersion[] = "make-data 1";
constexpr char kRecordName[] = ".version";

constexpr char kUsage[] =
    "usage: make-data OUTDIR          write the data folder into OUTDIR\n"
    "       make-data --check OUTDIR  exit 0 if OUTDIR is complete and current, else 1\n"
    "       make-data --help          show this text\n"
    "       make-data --version       show the version\n"
    "\n"
    "Files in OUTDIR that differ from what make-data wrote there are yours: they are\n"
    "left as they are. A missing file is written again.\n";

// One file of the pack: its name in the folder and its bytes.
struct PackFile {
    std::string name;
    std::string bytes;
};

bool report(const std::string& error) {
    if (error.empty()) return true;
    std::fprintf(stderr, "make-data: %s\n", error.c_str());
    return false;
}

// The pack's file names in the order they are written: the pictures, then the music.
std::vector<std::string> packNames() {
    std::vector<std::string> names;
    for (const PackPicture& picture : packPictures()) names.push_back(picture.fileName);
    names.push_back(kMusicFileName);
    return names;
}

// The picture make-data draws for a slot of the pack; empty for a slot it has no drawing for.
Picture drawPictureFor(const ArgbGfx* slot) {
    for (int frame = 0; frame < kAnimFrameCount; ++frame)
        if (slot == &animFrames[frame]) return drawRadarFrame(frame);
    const struct {
        const ArgbGfx* slot;
        Picture (*draw)();
    } stills[] = {{&imgBarf, drawBarf},         {&imgLonestar, drawLonestar},
                  {&imgGlasses, drawGlasses},   {&imgDarkHelmet, drawDarkHelmet},
                  {&imgRasberry, drawRasberry}, {&imgDarkHelmetNoMask, drawDarkHelmetNoMask},
                  {&imgLowrezQr, drawLowrezQr}};
    for (const auto& still : stills)
        if (still.slot == slot) return still.draw();
    return {};
}

bool addPicture(std::vector<PackFile>& files, const std::string& name, const Picture& pic) {
    const std::vector<uint8_t> png =
        encodePng(rgbaBytes(pic.pixels.data(), pic.pixels.size()), pic.width, pic.height, 4);
    if (png.empty()) return report("cannot draw or encode " + name);
    files.push_back({name, std::string(png.begin(), png.end())});
    return true;
}

// Every picture, drawn, in the order of packNames.
bool drawPictures(std::vector<PackFile>& files) {
    for (const PackPicture& picture : packPictures())
        if (!addPicture(files, picture.fileName, drawPictureFor(picture.slot))) return false;
    return true;
}

bool makeMusic(std::vector<PackFile>& files, const std::string& dir) {
    std::fprintf(stderr, "make-data: synthesizing %s%s\n", printable(dir).c_str(), kMusicFileName);
    std::vector<int16_t> pcm;
    {
        SongParts parts;
        arrangeSong(parts);
        pcm = mixSong(parts);
    }
    std::fprintf(stderr, "make-data: encoding %s%s\n", printable(dir).c_str(), kMusicFileName);
    std::vector<uint8_t> mp3;
    std::string error;
    if (!encodeMp3(pcm, mp3, error)) return report(printable(dir) + kMusicFileName + ": " + error);
    files.push_back({kMusicFileName, std::string(mp3.begin(), mp3.end())});
    return true;
}

enum class Outcome { Current, Written, Kept, Failed };

// Brings one file up to date, unless it is the user's. recorded is the digest make-data
// recorded for it ("" when none).
Outcome updateFile(const std::string& dir, const PackFile& file, const std::string& recorded) {
    const std::string path = dir + file.name;
    struct stat info;
    if (lstat(path.c_str(), &info) == 0) {
        std::string bytes;
        // A link, a folder or anything else the user put there is theirs.
        const bool regular = S_ISREG(info.st_mode) && readWholeFile(path, bytes);
        if (regular && bytes == file.bytes) return Outcome::Current;
        if (!regular || recorded.empty() || sha256Hex(bytes) != recorded) {
            std::fprintf(stderr,
                         "make-data: keeping %s: it is not the file make-data wrote there\n",
                         printable(path).c_str());
            return Outcome::Kept;
        }
    } else if (errno != ENOENT) {
        report("cannot examine " + printable(path) + ": " + std::strerror(errno));
        return Outcome::Failed;
    }
    PendingFile out;
    std::string error;
    if (!out.create(path, error) || !out.write(file.bytes.data(), file.bytes.size(), error) ||
        !out.commit(error)) {
        report(error);
        return Outcome::Failed;
    }
    return Outcome::Written;
}

int writeDataPack(const std::string& dir) {
    std::string error;
    if (!report(makeFolders(dir + "jtranim/", error) ? "" : error)) return 1;
    PackRecord old;
    readPackRecord(dir + kRecordName, old);

    std::fprintf(stderr, "make-data: drawing pictures for %s\n", printable(dir).c_str());
    std::vector<PackFile> files;
    if (!drawPictures(files) || !makeMusic(files, dir)) return 1;

    // From here on a signal ends the run between two files, each whole or untouched.
    catchInterrupts();
    PackRecord record;
    record.version = kDataPackVersion;
    int written = 0, kept = 0;
    for (const PackFile& file : files) {
        if (interrupted()) break;
        const auto found = old.digests.find(file.name);
        const std::string recorded = found == old.digests.end() ? "" : found->second;
        const std::string digest = sha256Hex(file.bytes);
        switch (updateFile(dir, file, recorded)) {
        case Outcome::Failed: return 1;
        case Outcome::Written: ++written; [[fallthrough]];
        case Outcome::Current: record.digests[file.name] = digest; break;
        case Outcome::Kept:
            ++kept;
            // Still what make-data wrote last, should the user's file go again.
            if (!recorded.empty()) record.digests[file.name] = recorded;
            break;
        }
    }
    if (interrupted()) {
        std::fprintf(stderr, "make-data: interrupted; %s is not complete\n",
                     printable(dir).c_str());
        return interruptedStatus();
    }
    const std::string text = formatPackRecord(record, packNames());
    PendingFile out;
    if (!out.create(dir + kRecordName, error) || !out.write(text.data(), text.size(), error) ||
        !out.commit(error)) {
        report(error);
        return 1;
    }
    std::string summary = written == 0   ? "nothing to write in "
                          : written == 1 ? "wrote 1 file into "
                                         : "wrote " + std::to_string(written) + " files into ";
    summary += printable(dir) + " (" + kDataPackVersion + ")";
    if (kept) summary += "; kept " + std::to_string(kept) + " of yours";
    std::fprintf(stderr, "make-data: %s\n", summary.c_str());
    return 0;
}

// Complete: every file is there; current: the record is of this version (so every file
// make-data wrote is today's). The user's own files count as they are.
int checkDataPack(const std::string& dir) {
    PackRecord record;
    struct stat info;
    if (stat(dir.c_str(), &info) != 0) {
        std::fprintf(stderr, "make-data: %s: %s\n", printable(dir).c_str(), std::strerror(errno));
        return 1;
    }
    if (!readPackRecord(dir + kRecordName, record)) {
        std::fprintf(stderr, "make-data: %s has no %s: not written by make-data\n",
                     printable(dir).c_str(), kRecordName);
        return 1;
    }
    if (record.version != kDataPackVersion) {
        std::fprintf(stderr, "make-data: %s is out of date: written by '%s', this is '%s'\n",
                     printable(dir).c_str(), printable(record.version).c_str(), kDataPackVersion);
        return 1;
    }
    int missing = 0;
    for (const std::string& name : packNames()) {
        struct stat info;
        if (lstat((dir + name).c_str(), &info) == 0) continue;
        std::fprintf(stderr, "make-data: %s is missing\n", printable(dir + name).c_str());
        ++missing;
    }
    return missing ? 1 : 0;
}

// dir with exactly one '/' at its end.
std::string folderName(const char* dir) {
    std::string name = dir;
    if (name.back() != '/') name += '/';
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("make-data %s\n", kIntroVersion);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0 && argv[2][0] != '\0')
        return checkDataPack(folderName(argv[2]));
    if (argc == 2 && argv[1][0] != '-' && argv[1][0] != '\0')
        return writeDataPack(folderName(argv[1]));
    std::fputs(kUsage, stderr);
    return 1;
}
