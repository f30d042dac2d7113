// intro-render run as a program: the bytes and pictures it writes for known pictures,
// the numbering of sequences, the contact sheet, and its answers to bad arguments and
// unwritable outputs. Each case works in a folder of its own:
//   data/   the pictures, made here (only darkhelmet.png: block 4 copies it whole)
//   run/    the working directory, so "../data/" is data/
#include "gfx/argb_gfx.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t kCanvasBytes = 64 * 64 * 4;
// Beat 35.5 (14.2 s): only the full-canvas copy of darkhelmet.png, bytes as they lie.
constexpr const char* kHelmetBeat = "35.5";
// Beat 34.5: block 4 before its first step, an all-zero canvas.
constexpr const char* kBlackBeat = "34.5";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Pixel (x, y) of the test helmet: every byte varies, alpha on both sides of 0x80.
uint32_t helmetPixel(int x, int y) {
    const uint32_t r = uint32_t(x * 4 + 1), g = uint32_t(y * 4 + 2),
                   b = uint32_t((x ^ y) * 3 & 0xFF);
    const uint32_t a = uint32_t((x + y * 64) * 7 & 0xFF);
    return a << 24 | b << 16 | g << 8 | r;
}

// The helmet as R, G, B, A bytes, which is also the raw canvas at kHelmetBeat.
std::string helmetBytes() {
    std::string bytes;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int shift = 0; shift < 32; shift += 8)
                bytes.push_back(char(helmetPixel(x, y) >> shift & 0xFF));
    return bytes;
}

struct Picture {
    int width = 0, height = 0, channels = 0;
    std::vector<uint8_t> bytes;
};

Picture readPng(const fs::path& path) {
    Picture pic;
    stbi_uc* data = stbi_load(path.c_str(), &pic.width, &pic.height, &pic.channels, 0);
    if (data) {
        pic.bytes.assign(data,
                         data + size_t(pic.width) * size_t(pic.height) * size_t(pic.channels));
        stbi_image_free(data);
    }
    return pic;
}

// The image at `scale` as RGB bytes: each pixel a block, alpha dropped.
std::vector<uint8_t> scaledRgb(const ArgbGfx& image, int scale) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < image.height * scale; ++y)
        for (int x = 0; x < image.width * scale; ++x) {
            const uint32_t p = image.pixels[(y / scale) * image.pitch + x / scale];
            for (int shift = 0; shift < 24; shift += 8) rgb.push_back(uint8_t(p >> shift));
        }
    return rgb;
}

void fillHelmet(ArgbGfx& canvas) {
    canvas.allocate(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) canvas.pixels[y * 64 + x] = helmetPixel(x, y);
}

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

class RenderCli : public testing::Test {
protected:
    void SetUp() override {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        work_ = fs::path(RENDER_WORK_DIR) / info->name();
        fs::remove_all(work_);
        fs::create_directories(work_ / "data");
        fs::create_directories(work_ / "run");
        const std::string bytes = helmetBytes();
        ASSERT_TRUE(stbi_write_png((work_ / "data/darkhelmet.png").c_str(), 64, 64, 4, bytes.data(),
                                   64 * 4));
    }

    // intro-render with args (a shell word list) in dir, run/ by default.
    Outcome render(const std::string& args, const fs::path& dir = {}) const {
        const fs::path cwd = dir.empty() ? work_ / "run" : dir;
        const std::string command = "cd '" + cwd.string() + "' && '" INTRO_RENDER "' " + args +
                                    " >'" + (work_ / "stdout").string() + "' 2>'" +
                                    (work_ / "stderr").string() + "'";
        const int status = std::system(command.c_str());
        Outcome run;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = readFile(work_ / "stdout");
        run.err = readFile(work_ / "stderr");
        return run;
    }

    fs::path work_;
};

TEST_F(RenderCli, RawCanvasIsItsBytesInMemoryOrder) {
    const Outcome run = render(std::string("--beat ") + kHelmetBeat + " --raw -o out.raw");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(work_ / "run/out.raw"), helmetBytes());
    EXPECT_EQ(filesIn(work_ / "run"), std::vector<std::string>{"out.raw"});

    // The same bytes to stdout, and for the same moment given in seconds.
    const Outcome piped = render("--time 14.2 --raw -o -");
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, helmetBytes());
}

// Frames follow one another in the order of the arguments, 16384 bytes each.
TEST_F(RenderCli, RawFramesConcatenateInArgumentOrder) {
    const Outcome run = render(std::string("--beat ") + kHelmetBeat + " --beat " + kBlackBeat +
                               " --beats 0:1:0.1 --time 14.2 --raw -o -");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.size(), 14 * kCanvasBytes);
    EXPECT_EQ(run.out.substr(0, kCanvasBytes), helmetBytes());
    EXPECT_EQ(run.out.substr(kCanvasBytes, kCanvasBytes), std::string(kCanvasBytes, '\0'));
    EXPECT_EQ(run.out.substr(13 * kCanvasBytes), helmetBytes());
}

// --data names the folder, with or without the trailing slash; without any pictures the
// copied helmet is empty and the canvas stays black.
TEST_F(RenderCli, PicturesComeFromTheDataFolder) {
    Outcome run = render(std::string("--data data --beat ") + kHelmetBeat + " --raw -o -", work_);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, helmetBytes());
    run = render(std::string("--beat ") + kHelmetBeat + " --raw -o -", work_);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string(kCanvasBytes, '\0'));
    EXPECT_NE(run.err.find("assets: "), std::string::npos) << run.err;
}

// RGB, alpha dropped, each canvas pixel an exact 3 x 3 block.
TEST_F(RenderCli, PngIsRgbInSharpBlocks) {
    const Outcome run = render(std::string("--beat ") + kHelmetBeat + " -o shot.png --scale 3");
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture pic = readPng(work_ / "run/shot.png");
    ASSERT_EQ(pic.width, 192);
    ASSERT_EQ(pic.height, 192);
    ASSERT_EQ(pic.channels, 3);
    ArgbGfx helmet;
    fillHelmet(helmet);
    EXPECT_EQ(pic.bytes, scaledRgb(helmet, 3));
    EXPECT_EQ(filesIn(work_ / "run"), std::vector<std::string>{"shot.png"});
}

TEST_F(RenderCli, PngFolderNumbersTheMomentsInOrder) {
    const Outcome run =
        render(std::string("--beat ") + kBlackBeat + " --beats 35.5:35.7:0.1 -o seq/a/");
    ASSERT_EQ(run.status, 0) << run.err;
    const fs::path seq = work_ / "run/seq/a";
    EXPECT_EQ(filesIn(seq), (std::vector<std::string>{"frame_00000.png", "frame_00001.png",
                                                      "frame_00002.png", "frame_00003.png"}));
    ArgbGfx helmet, black;
    fillHelmet(helmet);
    black.allocate(64, 64);
    black.clear();
    EXPECT_EQ(readPng(seq / "frame_00000.png").bytes, scaledRgb(black, 1));
    for (const char* name : {"frame_00001.png", "frame_00002.png", "frame_00003.png"})
        EXPECT_EQ(readPng(seq / name).bytes, scaledRgb(helmet, 1)) << name;
}

// Two columns of cells 64 wide and 71 high (thumbnail, gap of 2, label of 5) with margins
// and gaps of 4 on grey, the whole sheet scaled by 2.
TEST_F(RenderCli, SheetLaysOutLabelledThumbnails) {
    const Outcome run = render(std::string("--beat ") + kHelmetBeat + " --beat " + kBlackBeat +
                               " --time 14.2" + " --sheet sheet.png --cols 2 --scale 2");
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture pic = readPng(work_ / "run/sheet.png");
    ASSERT_EQ(pic.width, 280);
    ASSERT_EQ(pic.height, 308);
    ASSERT_EQ(pic.channels, 3);

    ArgbGfx helmet, expected;
    fillHelmet(helmet);
    expected.allocate(140, 154);
    for (int i = 0; i < 140 * 154; ++i) expected.pixels[i] = 0x404040;
    const struct {
        int left, top;
        bool helmet;
        const char* label;
    } cells[] = {{4, 4, true, "35.5"}, {72, 4, false, "34.5"}, {4, 79, true, "35.5"}};
    expected.color = 0xE0E0E0;
    for (const auto& cell : cells) {
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                expected.pixels[(cell.top + y) * 140 + cell.left + x] =
                    cell.helmet ? helmetPixel(x, y) : 0;
        expected.drawText(cell.left, cell.top + 66, cell.label);
    }
    EXPECT_EQ(pic.bytes, scaledRgb(expected, 2));
}

TEST_F(RenderCli, HelpPrintsTheUsage) {
    const Outcome run = render("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: intro-render", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
}

// Status 2, the reason and a pointer to --help, two lines in all; nothing written.
TEST_F(RenderCli, BadArgumentsExitWith2AndOneLine) {
    const struct {
        std::string args, reason;
    } cases[] = {
        {"", "no moments: give --beat, --time, --beats or --fps"},
        {"--beat one -o x.png", "--beat: 'one' is not a finite number"},
        {"--beats 0:1:0 --raw -o x.raw", "--beats 0:1:0: STEP must be greater than 0"},
        {"--beat 1 --beat 2 -o x.png", "-o x.png holds one moment, not 2; use -o DIR/ for several"},
        {"--beat 1 -o x.png --scale 1000", "--scale: '1000' is not a whole number from 1 to 64"},
        {"--fps 60 --video x.gif",
         "--video x.gif: a gif keeps time only at 1, 2, 4, 5, 10, 20, 25 or 50 frames "
         "per second, not 60"},
        {"--beat 1 --sheet x.png --raw", "--raw needs -o FILE or -o -"},
    };
    for (const auto& c : cases) {
        const Outcome run = render(c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.err, "intro-render: " + c.reason + "\ntry 'intro-render --help'\n") << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_TRUE(filesIn(work_ / "run").empty()) << c.args;
    }
}

// A folder asked for with --data must exist and hold pictures; the message names it, with
// the bytes of a name that would steer the terminal written out.
TEST_F(RenderCli, DataFolderNamedMustHoldThePictures) {
    fs::create_directories(work_ / "run/empty");
    std::ofstream(work_ / "run/plain") << "a plain file";
    const struct {
        std::string args, message;
    } cases[] = {
        {"--data nowhere", "intro-render: --data nowhere/: No such file or directory\n"},
        {"--data plain", "intro-render: --data plain/: Not a directory\n"},
        {"--data empty/",
         "intro-render: --data empty/: the folder holds none of the show's pictures\n"},
        {"--data \"$(printf 'x\\033[2J')\"",
         "intro-render: --data x\\x1b[2J/: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const Outcome run = render(c.args + " --beat 1 --raw -o out.raw");
        EXPECT_EQ(run.status, 1) << c.args;
        const size_t at = run.err.rfind("intro-render: ");
        ASSERT_NE(at, std::string::npos) << run.err;
        EXPECT_EQ(run.err.substr(at), c.message) << c.args;
        EXPECT_FALSE(fs::exists(work_ / "run/out.raw")) << c.args;
    }
}

// Every kind of output creates the folders its name needs.
TEST_F(RenderCli, MissingFoldersAreCreatedForEveryOutput) {
    const std::string beat = std::string("--beat ") + kHelmetBeat;
    for (const std::string& args : {beat + " -o a/b/shot.png", beat + " --raw -o c/d/out.raw",
                                    beat + " --sheet e/f/sheet.png", beat + " -o g/h/"}) {
        const Outcome run = render(args);
        EXPECT_EQ(run.status, 0) << args << "\n" << run.err;
    }
    EXPECT_EQ(readPng(work_ / "run/a/b/shot.png").width, 64);
    EXPECT_EQ(readFile(work_ / "run/c/d/out.raw"), helmetBytes());
    EXPECT_TRUE(fs::is_regular_file(work_ / "run/e/f/sheet.png"));
    EXPECT_TRUE(fs::is_regular_file(work_ / "run/g/h/frame_00000.png"));
}

// A shorter sequence written over a longer one leaves no frame of the old one behind;
// files of other names stay.
TEST_F(RenderCli, ShorterSequenceRemovesTheStaleFrames) {
    Outcome run = render("--beats 0:5:1 -o seq/");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* other : {"frame_0001.png", "frame_000001.png", "notes.txt", "frame_00009.jpg"})
        std::ofstream(work_ / "run/seq" / other) << "the user's";
    run = render(std::string("--beat ") + kHelmetBeat + " --beat 1 -o seq/");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.err.substr(run.err.rfind("intro-render: ")),
        "intro-render: removed 4 frames of an earlier run from seq/ (frame_00002.png and on)\n");
    EXPECT_EQ(filesIn(work_ / "run/seq"),
              (std::vector<std::string>{"frame_00000.png", "frame_000001.png", "frame_00001.png",
                                        "frame_00009.jpg", "frame_0001.png", "notes.txt"}));
    ArgbGfx helmet;
    fillHelmet(helmet);
    EXPECT_EQ(readPng(work_ / "run/seq/frame_00000.png").bytes, scaledRgb(helmet, 1));
}

// A reader that closes the pipe early has what it wanted: status 0, no message.
TEST_F(RenderCli, PipeClosedEarlyEndsQuietly) {
    const fs::path dir = work_ / "run";
    const std::string command = "cd '" + dir.string() +
                                "' && { '" INTRO_RENDER "' --beats 0:300:1 --raw -o - " +
                                "2>err; echo $? >status; } | head -c 100 >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readFile(dir / "status"), "0\n");
    EXPECT_EQ(readFile(dir / "err").find("intro-render"), std::string::npos)
        << readFile(dir / "err");
}

// An existing device or FIFO is written to, never renamed over.
TEST_F(RenderCli, DevicesAndPipesAreWrittenDirectly) {
    Outcome run = render(std::string("--beat ") + kHelmetBeat + " --raw -o /dev/null");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    const fs::path dir = work_ / "run";
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    const std::string command =
        "cd '" + dir.string() +
        "' && { timeout 10 cat pipe > got & '" INTRO_RENDER "' --data ../data " + "--beat " +
        kHelmetBeat + " --raw -o pipe 2>/dev/null; status=$?; wait; exit $status; }";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_EQ(readFile(dir / "got"), helmetBytes());
    EXPECT_EQ(filesIn(dir), (std::vector<std::string>{"got", "pipe"}));
}

// Status 1 and the path with the system's reason; no file under the final name.
TEST_F(RenderCli, UnwritableOutputsNameThePathAndTheReason) {
    std::ofstream(work_ / "run/blocker") << "a plain file";
    const struct {
        std::string args, message;
    } cases[] = {
        {"-o blocker/x.png", "intro-render: cannot create folder blocker: Not a directory\n"},
        {"--raw -o blocker/x.raw", "intro-render: cannot create folder blocker: Not a directory\n"},
        {"--sheet blocker/x.png", "intro-render: cannot create folder blocker: Not a directory\n"},
        {"-o blocker/seq/", "intro-render: cannot create folder blocker: Not a directory\n"},
    };
    for (const auto& c : cases) {
        const Outcome run = render(std::string("--beat ") + kHelmetBeat + " " + c.args);
        EXPECT_EQ(run.status, 1) << c.args;
        const size_t at = run.err.rfind("intro-render: ");
        ASSERT_NE(at, std::string::npos) << run.err;
        EXPECT_EQ(run.err.substr(at), c.message);
    }
    EXPECT_EQ(filesIn(work_ / "run"), std::vector<std::string>{"blocker"});
}

}  // namespace
