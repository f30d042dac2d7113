// Compares a screenshot with what the presenter must show in one window: the canvas as a
// square of the window's height, centred, every screen pixel exactly the canvas pixel
// whose block holds the pixel's centre, and grey 80, 80, 80 everywhere else in the
// window. Prints what it measured (bars, square, blocks) and the first mismatches.
// usage: screen_check SHOT LEFT TOP WIDTH HEIGHT CANVAS
//   SHOT                   binary PPM (P6, maxval 255) of the whole screen
//   LEFT TOP WIDTH HEIGHT  the window's drawable area on the screen
//   CANVAS                 "pattern": the canvas of present_pattern;
//                          "show:SECONDS": the intro's frame SECONDS into the music
//                          (no pictures loaded);
//                          "raw:FILE": the 16384 canvas bytes R, G, B, A in FILE, as
//                          `intro-render --raw` writes them
// Exit status: 0 every pixel matches, 1 a mismatch, 2 unusable arguments or file.
#include "demo/frame_time.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"
#include "present_pattern.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

constexpr Rgb kGrey = {80, 80, 80};

struct Screenshot {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;  // width x height pixels, 3 bytes each, rows top down

    Rgb at(int32_t x, int32_t y) const {
        const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

// The next header number of a PPM at pos, skipping white space and # comments; -1 when
// there is none.
long readHeaderNumber(const std::string& file, size_t& pos) {
    for (;;) {
        while (pos < file.size() && std::strchr(" \t\r\n", file[pos])) ++pos;
        if (pos < file.size() && file[pos] == '#') {
            while (pos < file.size() && file[pos] != '\n') ++pos;
            continue;
        }
        break;
    }
    long value = -1;
    while (pos < file.size() && file[pos] >= '0' && file[pos] <= '9' && value < 1000000)
        value = (value < 0 ? 0 : value * 10) + (file[pos++] - '0');
    return value;
}

bool readPpm(const char* path, Screenshot& shot, std::string& reason) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = "cannot open";
        return false;
    }
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.compare(0, 2, "P6") != 0) {
        reason = "not a binary PPM (P6)";
        return false;
    }
    size_t pos = 2;
    const long width = readHeaderNumber(file, pos);
    const long height = readHeaderNumber(file, pos);
    const long maxval = readHeaderNumber(file, pos);
    if (width <= 0 || height <= 0 || width > 100000 || height > 100000 || maxval != 255) {
        reason = "unsupported size or depth (need 8 bits per channel)";
        return false;
    }
    ++pos;  // the single white space character before the samples
    const size_t bytes = size_t(width) * size_t(height) * 3;
    if (pos > file.size() || file.size() - pos < bytes) {
        reason = "truncated";
        return false;
    }
    shot.width = int32_t(width);
    shot.height = int32_t(height);
    shot.rgb.assign(file.begin() + long(pos), file.begin() + long(pos + bytes));
    return true;
}

// The canvas cells (columns or rows) that may show at screen pixel i of one axis, where
// the square starts at `start` and is `side` pixels long: normally the one cell whose
// block holds the pixel's centre; the two cells beside it where a block edge passes
// exactly through the centre, since rounding in GL may then pick either. Cells outside
// 0..63 stand for the grey beyond the square.
struct Cells {
    int32_t first;
    int32_t count;
};

Cells cellsAt(int32_t i, double start, int32_t side) {
    const double cell = (i + 0.5 - start) * kCanvasSize / side;
    const double nearestEdge = std::floor(cell + 0.5);
    // Centres that are not on an edge are at least 1/side of a cell away from one; GL's
    // interpolation errors are far smaller than a quarter of that.
    if (std::fabs(cell - nearestEdge) <= 0.25 / side) return {int32_t(nearestEdge) - 1, 2};
    return {int32_t(std::floor(cell)), 1};
}

bool insideCanvas(int32_t cell) {
    return cell >= 0 && cell < kCanvasSize;
}

Rgb canvasRgb(const ArgbGfx& canvas, int32_t x, int32_t y) {
    const uint32_t p = canvas.pixels[y * canvas.pitch + x];
    return {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16)};
}

bool makeCanvas(const char* name, ArgbGfx& canvas) {
    canvas.allocate(kCanvasSize, kCanvasSize);
    if (!canvas.pixels) return false;
    if (std::strcmp(name, "pattern") == 0) {
        for (int32_t y = 0; y < kCanvasSize; ++y)
            for (int32_t x = 0; x < kCanvasSize; ++x)
                canvas.pixels[y * canvas.pitch + x] = presentPatternPixel(x, y);
        return true;
    }
    if (std::strncmp(name, "show:", 5) == 0) {
        char* end = nullptr;
        const double seconds = std::strtod(name + 5, &end);
        if (end == name + 5 || *end) return false;
        canvas.color = 0;
        canvas.clear();
        drawFrame(canvas, frameTimeAtSeconds(seconds));
        return true;
    }
    if (std::strncmp(name, "raw:", 4) == 0) {
        std::ifstream file(name + 4, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
        if (bytes.size() != size_t(kCanvasSize) * kCanvasSize * 4) return false;
        std::memcpy(canvas.pixels, bytes.data(), bytes.size());
        return true;
    }
    return false;
}

int32_t parseInt(const char* text, bool& ok) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end || value < -100000 || value > 100000) ok = false;
    return int32_t(value);
}

// Lengths of the runs of one colour along a line of the screenshot from (x, y) in
// steps of (dx, dy), `count` pixels, leaving out the first and last run, which the
// square's edges may cut.
std::vector<int32_t> innerRuns(const Screenshot& shot, int32_t x, int32_t y, int32_t dx, int32_t dy,
                               int32_t count) {
    std::vector<int32_t> runs;
    int32_t length = 1;
    for (int32_t i = 1; i < count; ++i) {
        if (shot.at(x + i * dx, y + i * dy) == shot.at(x + (i - 1) * dx, y + (i - 1) * dy)) {
            ++length;
        } else {
            runs.push_back(length);
            length = 1;
        }
    }
    runs.push_back(length);
    if (runs.size() < 3) return {};
    return std::vector<int32_t>(runs.begin() + 1, runs.end() - 1);
}

void printRange(const char* what, const std::vector<int32_t>& values) {
    if (values.empty()) {
        std::printf("%s: none measured\n", what);
        return;
    }
    int32_t low = values[0], high = values[0];
    for (int32_t v : values) {
        if (v < low) low = v;
        if (v > high) high = v;
    }
    std::printf("%s: %d..%d px (%zu measured)\n", what, int(low), int(high), values.size());
}

// The window's drawable area on the screen.
struct Area {
    int32_t left, top, width, height;
};

// Prints what the screenshot alone shows in the area: the grey bars of every row, the
// square between them and, for the pattern, whose neighbours all differ, its blocks.
void printMeasured(const Screenshot& shot, const Area& a, bool pattern) {
    int32_t leftBarMin = a.width, leftBarMax = 0, rightBarMin = a.width, rightBarMax = 0;
    for (int32_t y = 0; y < a.height; ++y) {
        int32_t l = 0, r = 0;
        while (l < a.width && shot.at(a.left + l, a.top + y) == kGrey) ++l;
        while (r < a.width - l && shot.at(a.left + a.width - 1 - r, a.top + y) == kGrey) ++r;
        if (l < leftBarMin) leftBarMin = l;
        if (l > leftBarMax) leftBarMax = l;
        if (r < rightBarMin) rightBarMin = r;
        if (r > rightBarMax) rightBarMax = r;
    }
    std::printf("window %dx%d at (%d,%d)\n", int(a.width), int(a.height), int(a.left), int(a.top));
    std::printf("grey bars: left %d..%d px, right %d..%d px wide over the rows\n", int(leftBarMin),
                int(leftBarMax), int(rightBarMin), int(rightBarMax));
    const int32_t squareLeft = leftBarMin, squareRight = a.width - rightBarMin;
    std::printf("square: window x %d..%d (%d px wide), screen x %d..%d\n", int(squareLeft),
                int(squareRight - 1), int(squareRight - squareLeft), int(a.left + squareLeft),
                int(a.left + squareRight - 1));
    if (!pattern || squareRight <= squareLeft) return;

    printRange(
        "block widths along the middle row",
        innerRuns(shot, a.left + squareLeft, a.top + a.height / 2, 1, 0, squareRight - squareLeft));
    printRange("block heights along the middle column",
               innerRuns(shot, a.left + (squareLeft + squareRight) / 2, a.top, 0, 1, a.height));
    const Rgb first = shot.at(a.left + squareLeft, a.top);
    int32_t w = 0, h = 0;
    while (squareLeft + w < a.width && shot.at(a.left + squareLeft + w, a.top) == first) ++w;
    while (h < a.height && shot.at(a.left + squareLeft, a.top + h) == first) ++h;
    std::printf("top-left block: %dx%d px at window (%d,0), colour %02X,%02X,%02X\n", int(w),
                int(h), int(squareLeft), first.r, first.g, first.b);
}

// Compares every pixel of the area with the canvas cell (or grey) that must show there;
// prints the first mismatches and a count, and returns the number of mismatches.
long compareWithCanvas(const Screenshot& shot, const Area& a, const ArgbGfx& canvas) {
    const double squareStart = (a.width - a.height) / 2.0;
    long mismatches = 0, onEdges = 0;
    for (int32_t y = 0; y < a.height; ++y) {
        const Cells rows = cellsAt(y, 0.0, a.height);
        for (int32_t x = 0; x < a.width; ++x) {
            const Cells columns = cellsAt(x, squareStart, a.height);
            const int32_t lastColumn = columns.first + columns.count - 1;
            const bool inSquare = insideCanvas(columns.first) || insideCanvas(lastColumn);
            if (inSquare && (rows.count > 1 || columns.count > 1)) ++onEdges;
            const Rgb actual = shot.at(a.left + x, a.top + y);
            bool matched = false;
            Rgb expected = kGrey;
            for (int32_t r = rows.first; r < rows.first + rows.count && !matched; ++r) {
                for (int32_t c = columns.first; c <= lastColumn && !matched; ++c) {
                    const bool inside = insideCanvas(c) && insideCanvas(r);
                    expected = inside ? canvasRgb(canvas, c, r) : kGrey;
                    matched = actual == expected;
                }
            }
            if (matched) continue;
            if (++mismatches <= 10) {
                std::printf(
                    "MISMATCH at window (%d,%d): %02X,%02X,%02X, expected %02X,%02X,%02X "
                    "(canvas column %d, row %d)\n",
                    int(x), int(y), actual.r, actual.g, actual.b, expected.r, expected.g,
                    expected.b, int(columns.first), int(rows.first));
            }
        }
    }
    std::printf(
        "pixels: %ld checked, %ld mismatches, %ld in the square with a block edge "
        "through the centre\n",
        long(a.width) * a.height, mismatches, onEdges);
    return mismatches;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fputs("usage: screen_check SHOT LEFT TOP WIDTH HEIGHT CANVAS\n", stderr);
        return 2;
    }
    bool ok = true;
    const Area area = {parseInt(argv[2], ok), parseInt(argv[3], ok), parseInt(argv[4], ok),
                       parseInt(argv[5], ok)};
    if (!ok || area.width <= 0 || area.height <= 0) {
        std::fputs("screen_check: the window needs a position and a positive size\n", stderr);
        return 2;
    }
    ArgbGfx canvas;
    if (!makeCanvas(argv[6], canvas)) {
        std::fprintf(stderr, "screen_check: unknown canvas \"%s\"\n", argv[6]);
        return 2;
    }
    Screenshot shot;
    std::string reason;
    if (!readPpm(argv[1], shot, reason)) {
        std::fprintf(stderr, "screen_check: %s: %s\n", argv[1], reason.c_str());
        return 2;
    }
    if (area.left < 0 || area.top < 0 || area.left + area.width > shot.width ||
        area.top + area.height > shot.height) {
        std::fprintf(stderr, "screen_check: the window is not inside the %dx%d screenshot\n",
                     int(shot.width), int(shot.height));
        return 2;
    }
    printMeasured(shot, area, std::strcmp(argv[6], "pattern") == 0);
    return compareWithCanvas(shot, area, canvas) == 0 ? 0 : 1;
}
