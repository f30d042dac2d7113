#include "options.h"

#include "assets/printable.h"
#include "demo/frame_time.h"
#include "sheet.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A format: %s is the default data folder.
constexpr char kUsage[] =
    "usage: intro-render MOMENT... OUTPUT [OPTION...]\n"
    "       intro-render [--data DIR] --check [--json]\n"
    "       intro-render --fit-music IN.mp3 -o OUT.mp3\n"
    "Draws moments of the show without a window, with the intro's own drawing code.\n"
    "\n"
    "Moments, drawn in the order given; they may repeat and mix:\n"
    "  --beat X          the moment at beat X\n"
    "  --time S          the moment S seconds after the start of the music\n"
    "  --beats A:B:STEP  the beats A + i*STEP for i = 0, 1, 2, ... while <= B\n"
    "  --fps N           a capture at N frames per second (1 to 1000): frame k is the\n"
    "                    moment FROM + k/N seconds, for every such moment before TO\n"
    "  --from S          start of the --fps capture in seconds (default 0)\n"
    "  --to S            end of the --fps capture (default 130.8: the show's last change\n"
    "                    at 128.8 s and 2 s of its final picture; a video with sound\n"
    "                    runs on to the end of the music when that is later)\n"
    "\n"
    "Output, exactly one of:\n"
    "  --raw -o FILE     each canvas as 16384 bytes R, G, B, A, row 0 first, in order;\n"
    "                    -o - writes to stdout\n"
    "  -o FILE.png       one moment as an RGB PNG\n"
    "  -o DIR/           one RGB PNG per moment: DIR/frame_00000.png, frame_00001.png, ...\n"
    "  --sheet FILE.png  a contact sheet of the moments, each labelled with its beat\n"
    "  --video FILE      FILE.mp4 (H.264 High, 4:2:0), FILE.webm (VP9) or FILE.gif,\n"
    "                    encoded by ffmpeg with the music cut to the same span; needs\n"
    "                    --fps and no other moments\n"
    "\n"
    "Options:\n"
    "  --scale N         each canvas pixel as an N x N block, 1 to 64 (default 1, video 8;\n"
    "                    even for an mp4 unless --lossless)\n"
    "  --size WxH        PNG and video: frames of W x H pixels (64 to 4096 each) with the\n"
    "                    canvas centred on the window's grey (80, 80, 80) at the largest\n"
    "                    whole scale that fits, 16 in 1920x1080; an mp4 (not --lossless)\n"
    "                    takes the largest even scale, and needs an even W and H\n"
    "  --cols C          thumbnails per row of --sheet, 1 to 1000 (default 8)\n"
    "  --lossless        video: a lossless RGB picture (mp4 and webm), for editing; few\n"
    "                    players and no common browser play it\n"
    "  --no-audio        video: no sound track\n"
    "  --data DIR        folder of the pictures and the music (default %s)\n"
    "  --progress        progress on stderr even when it is not a terminal\n"
    "  --help            show this text\n"
    "  --version         show the version\n"
    "\n"
    "A backup video for a party (1080p, 60 fps, H.264 4:2:0 and AAC at 192 kbit/s):\n"
    "  intro-render --fps 60 --size 1920x1080 --video party.mp4\n"
    "\n"
    "For who replaces the pictures or the music:\n"
    "  --check           checks the data folder: each picture (missing, unreadable, its\n"
    "                    size where the show draws it, invisible or without its cut-out,\n"
    "                    the memory budget) and the music (length, format, leading\n"
    "                    silence, clipping, and where its beats land against the show's\n"
    "                    150 BPM); one line per finding, problems and notes marked, then\n"
    "                    a summary. Exit status 0 when the show will play as meant, 1 not\n"
    "  --json            --check: one JSON object with the findings instead\n"
    "  --fit-music IN    writes -o OUT, a copy of the MP3 IN whose beats land on the\n"
    "                    show's: silence added before it, or its start trimmed, by the\n"
    "                    offset --check measures; 192 kbit/s with the encoder's delay\n"
    "                    recorded. IN stays as it is; OUT may not be IN\n"
    "\n"
    "Outputs are written as a whole under a temporary name; missing folders are made,\n"
    "symbolic links written through, read-only files refused.\n"
    "\n"
    "Exit status: 0 done, 1 cannot write, encode or read, 2 bad arguments,\n"
    "130 interrupted by Ctrl-C (143 by SIGTERM).\n";

bool endsWith(const std::string& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i])
            return false;
    return true;
}

enum class NumberRead { Ok, NotANumber, OutOfRange };

// A whole argument as a finite double, the way strtod reads it. A value too small to
// represent reads as the nearest one (0 or a denormal); one too large is out of range.
NumberRead readNumber(const char* text, double& value) {
    if (!*text) return NumberRead::NotANumber;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    if (*end != '\0' || std::isnan(value)) return NumberRead::NotANumber;
    const bool overflow = errno == ERANGE && std::isinf(value);
    if (std::isinf(value)) return overflow ? NumberRead::OutOfRange : NumberRead::NotANumber;
    return NumberRead::Ok;
}

// A whole argument as a decimal integer from low to high.
bool readInteger(const char* text, int32_t low, int32_t high, int32_t& value) {
    if (!*text) return false;
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text, &end, 10);
    if (*end != '\0' || errno == ERANGE || n < low || n > high) return false;
    value = int32_t(n);
    return true;
}

// "A:B:STEP" as three finite numbers.
bool readRange(const char* text, double& a, double& b, double& step) {
    const char* colon1 = std::strchr(text, ':');
    const char* colon2 = colon1 ? std::strchr(colon1 + 1, ':') : nullptr;
    if (!colon2) return false;
    const std::string first(text, colon1), second(colon1 + 1, colon2);
    return readNumber(first.c_str(), a) == NumberRead::Ok &&
           readNumber(second.c_str(), b) == NumberRead::Ok &&
           readNumber(colon2 + 1, step) == NumberRead::Ok;
}

// "WxH" as two whole numbers from kMinFrameSide to kMaxFrameSide.
bool readSize(const char* text, int32_t& width, int32_t& height) {
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    const std::string first(text, x);
    return readInteger(first.c_str(), kMinFrameSide, kMaxFrameSide, width) &&
           readInteger(x + 1, kMinFrameSide, kMaxFrameSide, height);
}

// What the command line said, before the combination is checked.
struct Given {
    std::string output, sheet, video;
    bool hasOutput = false, hasSheet = false, hasVideo = false;
    bool raw = false, noAudio = false, lossless = false;
    bool hasScale = false, hasSize = false, hasColumns = false, hasFps = false, hasFrom = false,
         hasTo = false;
    bool hasData = false;
    bool check = false, json = false, hasFit = false;
    double from = 0, to = kDefaultCaptureEnd;
};

class Parser {
public:
    Parser(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}

    bool parse(RenderOptions& options, std::string& error) {
        for (int i = 1; i < argc_; ++i)
            if (std::strcmp(argv_[i], "--help") == 0) {
                options.help = true;
                return true;
            } else if (std::strcmp(argv_[i], "--version") == 0) {
                options.version = true;
                return true;
            }
        for (next_ = 1; next_ < argc_;)
            if (!parseOne(options)) {
                error = error_;
                return false;
            }
        if (given_.check || given_.json || given_.hasFit) {
            if (!checkDataTask(options)) {
                error = error_;
                return false;
            }
            return true;
        }
        if (!checkMoments(options) || !checkOutput(options)) {
            error = error_;
            return false;
        }
        return true;
    }

private:
    bool fail(const std::string& reason) {
        error_ = reason;
        return false;
    }

    // The value after option `name`, or a failure when there is none.
    bool value(const char* name, const char*& text) {
        if (next_ >= argc_) return fail(std::string(name) + " needs a value");
        text = argv_[next_++];
        return true;
    }

    bool setToGiven(RenderOptions& options) {
        options.toGiven = true;
        return true;
    }

    bool once(bool& seen, const char* name) {
        if (seen) return fail(std::string(name) + " given twice");
        seen = true;
        return true;
    }

    bool numberOption(const char* name, double& number) {
        const char* text;
        if (!value(name, text)) return false;
        switch (readNumber(text, number)) {
        case NumberRead::Ok: return true;
        case NumberRead::OutOfRange:
            return fail(std::string(name) + ": '" + printable(text) + "' is out of range");
        case NumberRead::NotANumber: break;
        }
        return fail(std::string(name) + ": '" + printable(text) + "' is not a finite number");
    }

    bool integerOption(const char* name, int32_t low, int32_t high, int32_t& number) {
        const char* text;
        if (!value(name, text)) return false;
        if (!readInteger(text, low, high, number))
            return fail(std::string(name) + ": '" + printable(text) +
                        "' is not a whole number from " + std::to_string(low) + " to " +
                        std::to_string(high));
        return true;
    }

    bool pathOption(const char* name, bool& seen, std::string& path) {
        const char* text;
        if (!once(seen, name) || !value(name, text)) return false;
        if (!*text) return fail(std::string(name) + " needs a non-empty path");
        path = text;
        return true;
    }

    bool parseOne(RenderOptions& options) {
        const std::string arg = argv_[next_++];
        MomentSource source;
        if (arg == "--beat" || arg == "--time") {
            source.kind = arg == "--beat" ? MomentSource::Kind::Beat : MomentSource::Kind::Time;
            if (!numberOption(arg.c_str(), source.first)) return false;
            options.moments.push_back(source);
            return true;
        }
        if (arg == "--beats") {
            const char* text;
            if (!value("--beats", text)) return false;
            source.kind = MomentSource::Kind::Beats;
            if (!readRange(text, source.first, source.last, source.step))
                return fail("--beats: expected A:B:STEP with three numbers, got '" +
                            printable(text) + "'");
            if (!(source.step > 0))
                return fail("--beats " + printable(text) + ": STEP must be greater than 0");
            if (source.first > source.last + kRangeSlack)
                return fail("--beats " + printable(text) +
                            ": A lies after B, so there is no moment");
            options.moments.push_back(source);
            return true;
        }
        if (arg == "--fps") {
            source.kind = MomentSource::Kind::Frames;
            if (!once(given_.hasFps, "--fps") || !integerOption("--fps", 1, kMaxFps, source.fps))
                return false;
            options.moments.push_back(source);
            return true;
        }
        if (arg == "--from")
            return once(given_.hasFrom, "--from") && numberOption("--from", given_.from);
        if (arg == "--to")
            return once(given_.hasTo, "--to") && numberOption("--to", given_.to) &&
                   setToGiven(options);
        if (arg == "-o") return pathOption("-o", given_.hasOutput, given_.output);
        if (arg == "--sheet") return pathOption("--sheet", given_.hasSheet, given_.sheet);
        if (arg == "--video") return pathOption("--video", given_.hasVideo, given_.video);
        if (arg == "--data") {
            if (!pathOption("--data", given_.hasData, options.dataDir)) return false;
            if (options.dataDir.back() != '/') options.dataDir += '/';
            options.dataGiven = true;
            return true;
        }
        if (arg == "--scale")
            return once(given_.hasScale, "--scale") &&
                   integerOption("--scale", 1, kMaxScale, options.scale);
        if (arg == "--size") {
            const char* text;
            if (!once(given_.hasSize, "--size") || !value("--size", text)) return false;
            if (!readSize(text, options.frameWidth, options.frameHeight))
                return fail("--size: expected WxH with W and H whole numbers from " +
                            std::to_string(kMinFrameSide) + " to " + std::to_string(kMaxFrameSide) +
                            ", got '" + printable(text) + "'");
            return true;
        }
        if (arg == "--cols")
            return once(given_.hasColumns, "--cols") &&
                   integerOption("--cols", 1, kMaxColumns, options.columns);
        if (arg == "--check") return once(given_.check, "--check");
        if (arg == "--json") return once(given_.json, "--json");
        if (arg == "--fit-music") return pathOption("--fit-music", given_.hasFit, options.fitInput);
        if (arg == "--raw") return once(given_.raw, "--raw");
        if (arg == "--no-audio") return once(given_.noAudio, "--no-audio");
        if (arg == "--lossless") return once(given_.lossless, "--lossless");
        if (arg == "--progress") return once(options.progress, "--progress");
        return fail("unknown argument '" + printable(arg) + "'");
    }

    bool checkMoments(RenderOptions& options) {
        if (options.moments.empty())
            return fail("no moments: give --beat, --time, --beats or --fps");
        if ((given_.hasFrom || given_.hasTo) && !given_.hasFps)
            return fail("--from and --to belong to --fps");
        if (given_.hasFps && !(given_.to > given_.from)) return fail("--to must lie after --from");
        int64_t total = 0;
        for (MomentSource& source : options.moments) {
            if (source.kind == MomentSource::Kind::Frames) {
                source.first = given_.from;
                source.last = given_.to;
            }
            total += countMoments(source, kMaxMoments);
            if (total > kMaxMoments)
                return fail("more than " + std::to_string(kMaxMoments) + " moments");
        }
        if (total == 0) return fail("--fps: no frame lies between --from and --to");
        options.momentCount = total;
        return true;
    }

    // --check and --fit-music draw nothing: moments and the drawing's options do not apply.
    bool checkDataTask(RenderOptions& options) {
        const bool drawing = !options.moments.empty() || given_.hasSheet || given_.hasVideo ||
                             given_.raw || given_.noAudio || given_.lossless || given_.hasScale ||
                             given_.hasSize || given_.hasColumns || given_.hasFrom ||
                             given_.hasTo || options.progress;
        if (given_.check && given_.hasFit) return fail("give only one of --check and --fit-music");
        if (given_.hasFit) {
            if (drawing || given_.json || given_.hasData)
                return fail("--fit-music takes only -o OUT");
            if (!given_.hasOutput) return fail("--fit-music needs -o OUT");
            options.task = Task::FitMusic;
            options.outputPath = given_.output;
            return true;
        }
        if (!given_.check) return fail("--json belongs to --check");
        if (drawing || given_.hasOutput) return fail("--check takes only --data and --json");
        options.task = Task::Check;
        options.json = given_.json;
        return true;
    }

    bool checkOutput(RenderOptions& options) {
        const int outputs = int(given_.hasOutput) + int(given_.hasSheet) + int(given_.hasVideo);
        if (outputs == 0) return fail("no output: give -o, --sheet or --video");
        if (outputs > 1) return fail("give only one of -o, --sheet and --video");
        if (given_.hasColumns && !given_.hasSheet) return fail("--cols belongs to --sheet");
        if ((given_.noAudio || given_.lossless) && !given_.hasVideo)
            return fail(given_.noAudio ? "--no-audio belongs to --video"
                                       : "--lossless belongs to --video");
        if (given_.raw && !given_.hasOutput) return fail("--raw needs -o FILE or -o -");
        if (given_.hasSize && given_.hasScale)
            return fail("--size chooses the scale itself: give --size or --scale, not both");
        if (given_.hasSize && (given_.raw || given_.hasSheet))
            return fail(given_.raw ? "--raw writes the canvases as they are; --size does not apply"
                                   : "--size belongs to PNG frames and video, not --sheet");
        if (given_.hasOutput) return checkFileOutput(options);
        if (given_.hasSheet) {
            if (!endsWith(given_.sheet, ".png"))
                return fail("--sheet " + printable(given_.sheet) + ": the sheet is a .png file");
            options.output = OutputKind::Sheet;
            options.outputPath = given_.sheet;
            SheetLayout layout;
            return planSheet(options.momentCount, options.columns, options.scale, layout, error_);
        }
        return checkVideo(options);
    }

    bool checkFileOutput(RenderOptions& options) {
        const std::string& path = given_.output;
        options.outputPath = path;
        if (given_.raw) {
            if (given_.hasScale)
                return fail("--raw writes the canvases as they are; --scale does not apply");
            if (path.back() == '/') return fail("--raw writes one file: -o FILE or -o -");
            options.output = OutputKind::Raw;
            return true;
        }
        if (path == "-") return fail("-o - writes raw canvases to stdout and needs --raw");
        if (path.back() == '/') {
            options.output = OutputKind::PngFolder;
            return true;
        }
        if (!endsWith(path, ".png"))
            return fail("-o " + printable(path) +
                        ": name a .png file or a folder ending in /, or add --raw");
        if (options.momentCount != 1)
            return fail("-o " + printable(path) + " holds one moment, not " +
                        std::to_string(options.momentCount) + "; use -o DIR/ for several");
        options.output = OutputKind::PngFile;
        return true;
    }

    bool checkVideo(RenderOptions& options) {
        const std::string& path = given_.video;
        if (endsWith(path, ".mp4"))
            options.videoFormat = VideoFormat::Mp4;
        else if (endsWith(path, ".webm"))
            options.videoFormat = VideoFormat::Webm;
        else if (endsWith(path, ".gif"))
            options.videoFormat = VideoFormat::Gif;
        else
            return fail("--video " + printable(path) +
                        ": the name must end in .mp4, .webm or .gif");
        if (options.moments.size() != 1 || options.moments[0].kind != MomentSource::Kind::Frames)
            return fail(
                "--video needs --fps and no other moments: frame k is the moment FROM + k/N");
        // A GIF counts its frame delays in whole hundredths of a second, and players stretch
        // delays below 2 hundredths, so only rates with a whole delay of 2 or more keep time.
        const int32_t fps = options.moments[0].fps;
        if (options.videoFormat == VideoFormat::Gif && (fps > 50 || 100 % fps != 0))
            return fail("--video " + printable(path) +
                        ": a gif keeps time only at 1, 2, 4, 5, 10, 20, 25 or 50 frames per "
                        "second, not " +
                        std::to_string(fps));
        if (given_.lossless && options.videoFormat == VideoFormat::Gif)
            return fail("--lossless: a gif is always paletted; use .mp4 or .webm");
        if (given_.hasSize) return checkFramedVideo(options);
        if (!given_.hasScale) options.scale = kDefaultVideoScale;
        // Players want H.264 with colour at half resolution: one colour sample per 2 x 2
        // pixels. Only with even blocks does each such square lie inside one canvas pixel.
        if (options.videoFormat == VideoFormat::Mp4 && !given_.lossless && options.scale % 2 != 0)
            return fail("--video " + printable(path) +
                        ": an mp4 keeps the pixel blocks sharp only at an even --scale, "
                        "not " +
                        std::to_string(options.scale) + " (or add --lossless)");
        return setVideo(options);
    }

    // A video in frames of --size: the encoder centres the blocks on grey.
    bool checkFramedVideo(RenderOptions& options) {
        const std::string path = printable(given_.video);
        // The palette of a gif is the canvas's own, made before the blocks: no grey in it.
        if (options.videoFormat == VideoFormat::Gif)
            return fail("--size belongs to .mp4 and .webm, not a gif");
        if (options.videoFormat == VideoFormat::Mp4 && !given_.lossless) {
            if (options.frameWidth % 2 || options.frameHeight % 2)
                return fail("--video " + path +
                            ": an mp4 with colour at half resolution needs "
                            "an even --size, not " +
                            std::to_string(options.frameWidth) + "x" +
                            std::to_string(options.frameHeight) + " (or add --lossless)");
            if (std::min(options.frameWidth, options.frameHeight) < 2 * kCanvasSize)
                return fail("--video " + path +
                            ": an mp4 keeps the pixel blocks sharp only at "
                            "an even scale: --size needs at least 128 pixels each way");
        }
        return setVideo(options);
    }

    bool setVideo(RenderOptions& options) {
        options.output = OutputKind::Video;
        options.outputPath = given_.video;
        options.lossless = given_.lossless;
        options.withAudio = !given_.noAudio && options.videoFormat != VideoFormat::Gif;
        return true;
    }

    int argc_;
    const char* const* argv_;
    int next_ = 1;
    Given given_;
    std::string error_;
};

}  // namespace

std::string usageText() {
    std::string text(sizeof kUsage + sizeof kDataFolder, '\0');
    text.resize(size_t(std::snprintf(&text[0], text.size(), kUsage, kDataFolder)));
    return text;
}

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options,
                        std::string& error) {
    options = RenderOptions();
    Parser parser(argc, argv);
    return parser.parse(options, error);
}
