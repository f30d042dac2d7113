// The native side of the web checks: draws the moments read from stdin (one number of
// seconds per line, as strtod reads it, so "nan" and "inf" too: moments intro-render
// refuses) with the intro's own drawing code, and writes each canvas as 16,384 bytes
// R, G, B, A to stdout. With --bench it writes nothing and prints the drawing time.
#include "assets/data_folder.h"
#include "assets/data_pack.h"
#include "assets/image_loader.h"
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: web-native-frames [--bench] DATA_DIR < MOMENTS\n"
    "Draws each moment read from stdin (seconds, one per line; nan and inf allowed) with the\n"
    "pictures of DATA_DIR and writes its 16384 canvas bytes R, G, B, A to stdout. --bench\n"
    "writes no frames and prints the milliseconds spent drawing them all.\n";

bool readMoments(std::vector<double>& moments) {
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        if (line[0] == '\n' || line[0] == '\0') continue;
        char* end = nullptr;
        moments.push_back(std::strtod(line, &end));
        if (end == line) {
            std::fprintf(stderr, "web-native-frames: not a number of seconds: %s", line);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool bench = false;
    const char* dataDir = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--bench") == 0) {
            bench = true;
        } else if (!dataDir) {
            dataDir = argv[i];
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (!dataDir) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::vector<double> moments;
    if (!readMoments(moments)) return 2;
    printPackLoad(loadImagesFrom(dataDir), dataDir);

    const auto start = std::chrono::steady_clock::now();
    uint32_t checksum = 0;  // keeps the drawing from being optimised away under --bench
    for (double seconds : moments) {
        ArgbGfx canvas;
        if (!drawFreshFrame(canvas, frameTimeAtSeconds(seconds))) {
            std::fprintf(stderr, "web-native-frames: out of memory for a frame\n");
            return 1;
        }
        const size_t bytes = size_t(kCanvasSize) * kCanvasSize * 4;
        if (bench) {
            checksum += canvas.pixels[(checksum & 0xFFF)];
        } else if (std::fwrite(canvas.pixels, 1, bytes, stdout) != bytes) {
            std::fprintf(stderr, "web-native-frames: cannot write to stdout\n");
            return 1;
        }
    }
    if (bench) {
        const std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - start;
        std::printf("%.3f %u\n", spent.count(), checksum);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
