// The golden record of the show: one SHA-256 digest of the 16,384 canvas bytes (R, G, B, A
// as they lie in memory) per moment, for one picture pack. `check` draws every moment of
// the record and compares; `write` draws the show's list of moments and writes the record.
// usage: golden-frames check RECORD DATA_DIR [--last-good RAW]
//        golden-frames write RECORD DATA_DIR
#include "sha256.h"

#include "assets/data_folder.h"
#include "assets/data_pack_manifest.h"
#include "assets/data_pack.h"
#include "assets/image_loader.h"
#include "assets/image_slots.h"
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr size_t kCanvasBytes = 64 * 64 * 4;
constexpr int kGridMoments = 6701;  // beats 0 to 335 in steps of 0.05: seconds k / 50
constexpr int kReportedMismatches = 10;

// Moments off the grid: the timeline's boundaries, the time before the music, and
// moments whose beats do not fit an integer.
std::vector<double> edgeMoments() {
    const double inf = std::numeric_limits<double>::infinity();
    return {95.99,
            -0.0001,
            -0.2,
            -0.4,
            -1,
            -100,
            1e9,
            -1e9,
            1e300,
            -1e300,
            inf,
            -inf,
            std::numeric_limits<double>::quiet_NaN()};
}

std::vector<double> showMoments() {
    std::vector<double> moments;
    for (int k = 0; k < kGridMoments; ++k) moments.push_back(k / 50.0);
    for (double s : edgeMoments()) moments.push_back(s);
    return moments;
}

// The shortest text that reads back as the same double ("inf", "-inf", "nan" else).
std::string secondsText(double s) {
    std::string shortest;
    char text[40];
    for (int digits = 17; digits >= 1; --digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, s);
        const bool same = std::strtod(text, nullptr) == s || (std::isnan(s) && digits == 17);
        if (same && (shortest.empty() || std::strlen(text) <= shortest.size())) shortest = text;
    }
    return shortest;
}

bool sameMoment(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

struct Entry {
    double seconds;
    std::string digest;
};

bool readRecord(const char* path, std::vector<Entry>& entries) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "golden-frames: cannot read %s\n", path);
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string secondsWord, digest;
        char* end = nullptr;
        if (words >> secondsWord >> digest) {
            const double seconds = std::strtod(secondsWord.c_str(), &end);
            if (*end == '\0' && digest.size() == 64) {
                entries.push_back({seconds, digest});
                continue;
            }
        }
        std::fprintf(stderr, "golden-frames: %s:%d: not a line of seconds and digest\n", path,
                     number);
        return false;
    }
    return true;
}

bool loadPack(const char* dir) {
    printPackLoad(loadImagesFrom(dir), dir);
    bool complete = true;
    for (const PackPicture& picture : packPictures()) complete = complete && picture.slot->pixels;
    if (!complete) std::fprintf(stderr, "golden-frames: the pack in %s is incomplete\n", dir);
    return complete;
}

// The canvas of one moment, exactly as the intro and intro-render draw it.
std::vector<uint8_t> drawMoment(double seconds) {
    ArgbGfx canvas;
    std::vector<uint8_t> bytes(kCanvasBytes, 0);
    if (drawFreshFrame(canvas, frameTimeAtSeconds(seconds)))
        std::memcpy(bytes.data(), canvas.pixels, kCanvasBytes);
    return bytes;
}

int writeRecord(const char* path) {
    const std::vector<double> moments = showMoments();
    std::ofstream out(path);
    out << "# SHA-256 of the 16384 canvas bytes (R, G, B, A) at each moment: beats 0 to 335 in\n"
           "# steps of 0.05 (seconds k / 50), then edge moments. Written by "
           "tools/update-golden.sh.\n"
           "# seconds digest\n";
    for (double s : moments) {
        const std::vector<uint8_t> bytes = drawMoment(s);
        out << secondsText(s) << ' ' << sha256Hex(bytes.data(), bytes.size()) << '\n';
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "golden-frames: cannot write %s\n", path);
        return 1;
    }
    std::printf("golden-frames: wrote %zu moments to %s\n", moments.size(), path);
    return 0;
}

// Differing pixels against the frames of the last passing check, when they are at hand
// and still match the record; -1 otherwise.
int differingPixels(FILE* lastGood, size_t index, const Entry& entry,
                    const std::vector<uint8_t>& now) {
    std::vector<uint8_t> before(kCanvasBytes);
    if (!lastGood || std::fseek(lastGood, long(index * kCanvasBytes), SEEK_SET) != 0 ||
        std::fread(before.data(), 1, kCanvasBytes, lastGood) != kCanvasBytes ||
        sha256Hex(before.data(), before.size()) != entry.digest)
        return -1;
    int count = 0;
    for (size_t p = 0; p < kCanvasBytes; p += 4) count += std::memcmp(&before[p], &now[p], 4) != 0;
    return count;
}

int checkRecord(const char* path, const char* lastGoodPath) {
    std::vector<Entry> entries;
    if (!readRecord(path, entries)) return 1;
    const std::vector<double> moments = showMoments();
    bool sameList = entries.size() == moments.size();
    for (size_t i = 0; sameList && i < moments.size(); ++i)
        sameList = sameMoment(entries[i].seconds, moments[i]);
    if (!sameList) {
        std::fprintf(stderr,
                     "golden-frames: %s does not list the show's %zu moments; regenerate it\n",
                     path, moments.size());
        return 1;
    }

    FILE* lastGood = lastGoodPath ? std::fopen(lastGoodPath, "rb") : nullptr;
    std::vector<uint8_t> all;
    int mismatches = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::vector<uint8_t> bytes = drawMoment(entries[i].seconds);
        all.insert(all.end(), bytes.begin(), bytes.end());
        if (sha256Hex(bytes.data(), bytes.size()) == entries[i].digest) continue;
        if (++mismatches > kReportedMismatches) continue;
        const double s = entries[i].seconds;
        const int pixels = differingPixels(lastGood, i, entries[i], bytes);
        std::fprintf(stderr, "golden-frames: differs at %s s (beat %s): %s\n",
                     secondsText(s).c_str(), secondsText(s * 150 / 60).c_str(),
                     pixels < 0 ? "pixel count unknown (no last good frames)"
                                : (std::to_string(pixels) + " pixels differ").c_str());
    }
    if (lastGood) std::fclose(lastGood);
    if (mismatches > 0) {
        std::fprintf(stderr, "golden-frames: %d of %zu moments differ from %s\n", mismatches,
                     entries.size(), path);
        return 1;
    }
    // Kept for the next run, so that a change can be told in pixels.
    if (lastGoodPath) {
        FILE* out = std::fopen(lastGoodPath, "wb");
        if (out) {
            const bool written = std::fwrite(all.data(), 1, all.size(), out) == all.size();
            if (std::fclose(out) != 0 || !written) std::remove(lastGoodPath);
        }
    }
    std::printf("golden-frames: all %zu moments match %s\n", entries.size(), path);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc >= 4 && std::strcmp(argv[1], "check") == 0;
    const bool write = argc == 4 && std::strcmp(argv[1], "write") == 0;
    const bool lastGood = check && argc == 6 && std::strcmp(argv[4], "--last-good") == 0;
    if (!(write || (check && (argc == 4 || lastGood)))) {
        std::fprintf(
            stderr,
            "usage: golden-frames check RECORD DATA_DIR [--last-good RAW]\n"
            "       golden-frames write RECORD DATA_DIR\n"
            "Draws every moment of the show with the pictures of DATA_DIR and compares the\n"
            "canvases' SHA-256 digests with RECORD, or writes RECORD. RAW keeps the frames of\n"
            "the last passing check, so that a later mismatch is told in pixels.\n");
        return argc == 2 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    if (!loadPack(argv[3])) return 1;
    return write ? writeRecord(argv[2]) : checkRecord(argv[2], lastGood ? argv[5] : nullptr);
}
