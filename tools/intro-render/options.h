#pragma once
#include "moments.h"

#include "assets/data_pack_manifest.h"

#include <cstdint>
#include <string>
#include <vector>

// Largest pixel block: a 4096 x 4096 picture per canvas.
constexpr int32_t kMaxScale = 64;
constexpr int32_t kDefaultVideoScale = 8;
constexpr int32_t kMaxFps = 1000;
constexpr int32_t kMaxColumns = 1000;
constexpr int32_t kDefaultColumns = 8;
// --size: from one canvas pixel a block up to the largest scale's frame.
constexpr int32_t kMinFrameSide = 64;
constexpr int32_t kMaxFrameSide = 4096;

enum class OutputKind {
    Raw,        // --raw -o FILE (or -o - for stdout)
    PngFile,    // -o FILE.png, one moment
    PngFolder,  // -o DIR/, DIR/frame_00000.png and on
    Sheet,      // --sheet FILE.png
    Video,      // --video FILE.mp4 | .webm | .gif
};

enum class VideoFormat { Mp4, Webm, Gif };

// What the run does: draw moments, or look at the data for who replaces it.
enum class Task {
    Render,    // moments to an output
    Check,     // --check [--json]: the pictures and the music against the show
    FitMusic,  // --fit-music IN -o OUT
};

// Everything the command line chose, checked and complete.
struct RenderOptions {
    Task task = Task::Render;
    bool json = false;                  // --check: one JSON object instead of lines
    std::string fitInput;               // --fit-music: the track to fit (outputPath: the copy)
    std::vector<MomentSource> moments;  // counted, in command-line order
    int64_t momentCount = 0;
    OutputKind output = OutputKind::Raw;
    std::string outputPath;  // FILE, "-" for stdout, or DIR/ ending in '/'
    VideoFormat videoFormat = VideoFormat::Mp4;
    int32_t scale = 1;
    int32_t frameWidth = 0;   // --size WxH: the canvas centred on grey in frames this big;
    int32_t frameHeight = 0;  // 0 x 0 without it
    int32_t columns = kDefaultColumns;
    std::string dataDir = kDataFolder;  // ends in '/'
    bool dataGiven = false;             // --data named the folder: it must hold the pictures
    bool lossless = false;
    bool withAudio = true;
    bool toGiven = false;   // --to given; otherwise a video with sound may run on
    bool progress = false;  // forced on with --progress; otherwise only on a terminal
    bool help = false;
    bool version = false;  // --version: print it and nothing else
};

// The usage text, as --help prints it.
std::string usageText();

// Reads argv[1..argc-1] into options. On a bad argument returns false with a one-line
// reason in error (no program name, no usage). --help or --version anywhere (the first
// given) sets options.help or options.version and returns true without checking the rest.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options,
                        std::string& error);
