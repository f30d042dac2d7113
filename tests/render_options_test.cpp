// intro-render's command line: what each accepted line chooses, and the reason given for
// each refused one.
#include "options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Parsed {
    bool ok;
    RenderOptions options;
    std::string error;
};

Parsed parse(std::vector<const char*> args) {
    args.insert(args.begin(), "intro-render");
    Parsed parsed;
    parsed.ok = parseRenderOptions(int(args.size()), args.data(), parsed.options, parsed.error);
    return parsed;
}

std::string joined(const std::vector<const char*>& args) {
    std::string line;
    for (const char* arg : args) line += std::string(" ") + arg;
    return line;
}

TEST(RenderOptions, OneMomentToOnePng) {
    const Parsed p = parse({"--beat", "-0.5", "-o", "shot.PNG"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.output, OutputKind::PngFile);
    EXPECT_EQ(p.options.outputPath, "shot.PNG");
    EXPECT_EQ(p.options.scale, 1);
    EXPECT_EQ(p.options.dataDir, "../data/");
    ASSERT_EQ(p.options.moments.size(), 1u);
    EXPECT_EQ(p.options.moments[0].kind, MomentSource::Kind::Beat);
    EXPECT_EQ(p.options.moments[0].first, -0.5);
}

// Moment arguments keep their order and may repeat; the total is counted.
TEST(RenderOptions, MixedMomentsKeepTheirOrder) {
    const Parsed p = parse(
        {"--time", "3.2", "--beats", "0:1:0.1", "--beat", "7", "--time", "3.2", "-o", "out/"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.output, OutputKind::PngFolder);
    EXPECT_EQ(p.options.momentCount, 14);
    const MomentSource::Kind kinds[] = {MomentSource::Kind::Time, MomentSource::Kind::Beats,
                                        MomentSource::Kind::Beat, MomentSource::Kind::Time};
    ASSERT_EQ(p.options.moments.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(p.options.moments[i].kind, kinds[i]) << i;
}

TEST(RenderOptions, RawToStdoutAndDataFolder) {
    const Parsed p = parse({"--data", "pack", "--beats", "0:335:0.05", "--raw", "-o", "-"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.output, OutputKind::Raw);
    EXPECT_EQ(p.options.outputPath, "-");
    EXPECT_EQ(p.options.momentCount, 6701);
    EXPECT_EQ(p.options.dataDir, "pack/");
}

// --from and --to may follow --fps; the capture ends at 130.8 s unless told.
TEST(RenderOptions, VideoDefaults) {
    Parsed p = parse({"--fps", "60", "--video", "show.mp4"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.output, OutputKind::Video);
    EXPECT_EQ(p.options.videoFormat, VideoFormat::Mp4);
    EXPECT_EQ(p.options.scale, 8);
    EXPECT_EQ(p.options.momentCount, 7848);
    EXPECT_TRUE(p.options.withAudio);
    EXPECT_FALSE(p.options.lossless);
    EXPECT_FALSE(p.options.toGiven);

    p = parse({"--fps", "10", "--video", "clip.webm", "--from", "1", "--to", "2", "--scale", "2",
               "--lossless", "--no-audio", "--progress"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.videoFormat, VideoFormat::Webm);
    EXPECT_EQ(p.options.moments[0].first, 1);
    EXPECT_EQ(p.options.moments[0].last, 2);
    EXPECT_EQ(p.options.momentCount, 10);
    EXPECT_EQ(p.options.scale, 2);
    EXPECT_TRUE(p.options.lossless);
    EXPECT_FALSE(p.options.withAudio);
    EXPECT_TRUE(p.options.progress);
    EXPECT_TRUE(p.options.toGiven);

    // Odd blocks are refused for the mp4 that players take, not for its lossless form.
    p = parse({"--fps", "10", "--video", "clip.mp4", "--scale", "1", "--lossless"});
    ASSERT_TRUE(p.ok) << p.error;

    // A gif has no sound track.
    p = parse({"--fps", "25", "--video", "loop.gif"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.videoFormat, VideoFormat::Gif);
    EXPECT_FALSE(p.options.withAudio);
}

// A value too small to represent is the nearest one, as strtod gives it, not an error.
TEST(RenderOptions, TinyNumbersUnderflowToZero) {
    const Parsed p = parse({"--beat", "1e-400", "--time", "-4.9e-330", "--raw", "-o", "-"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.moments[0].first, 0);
    EXPECT_LE(std::abs(p.options.moments[1].first), 1e-300);
}

TEST(RenderOptions, SheetTakesColumns) {
    const Parsed p =
        parse({"--beats", "0:335:4", "--sheet", "show.png", "--cols", "10", "--scale", "2"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.output, OutputKind::Sheet);
    EXPECT_EQ(p.options.columns, 10);
    EXPECT_EQ(p.options.scale, 2);
    EXPECT_EQ(p.options.momentCount, 84);
}

TEST(RenderOptions, HelpWinsOverEverythingElse) {
    const Parsed p = parse({"--bogus", "--help", "--scale", "0"});
    ASSERT_TRUE(p.ok);
    EXPECT_TRUE(p.options.help);
}

struct Refusal {
    std::vector<const char*> args;
    const char* reason;
};

TEST(RenderOptions, BadLinesAreRefusedWithTheirReason) {
    const Refusal cases[] = {
        {{}, "no moments: give --beat, --time, --beats or --fps"},
        {{"--beat", "1"}, "no output: give -o, --sheet or --video"},
        {{"--beat"}, "--beat needs a value"},
        {{"--beat", "1x", "-o", "a.png"}, "--beat: '1x' is not a finite number"},
        {{"--time", "", "-o", "a.png"}, "--time: '' is not a finite number"},
        {{"--beat", "nan", "-o", "a.png"}, "--beat: 'nan' is not a finite number"},
        {{"--beat", "1e999", "-o", "a.png"}, "--beat: '1e999' is out of range"},
        {{"--time", "-1e999", "-o", "a.png"}, "--time: '-1e999' is out of range"},
        {{"--beat", "inf", "-o", "a.png"}, "--beat: 'inf' is not a finite number"},
        {{"--beat", "1\x1b[31m", "-o", "a.png"}, "--beat: '1\\x1b[31m' is not a finite number"},
        {{"--beats", "0:1", "-o", "d/"},
         "--beats: expected A:B:STEP with three numbers, got '0:1'"},
        {{"--beats", "0:1:0", "-o", "d/"}, "--beats 0:1:0: STEP must be greater than 0"},
        {{"--beats", "0:1:-1", "-o", "d/"}, "--beats 0:1:-1: STEP must be greater than 0"},
        {{"--beats", "2:1:1", "-o", "d/"}, "--beats 2:1:1: A lies after B, so there is no moment"},
        {{"--beats", "0:1e9:1", "--raw", "-o", "-"}, "more than 10000000 moments"},
        {{"--beat", "1", "-o", "a.png", "--scale", "0"},
         "--scale: '0' is not a whole number from 1 to 64"},
        {{"--beat", "1", "-o", "a.png", "--scale", "65"},
         "--scale: '65' is not a whole number from 1 to 64"},
        {{"--beat", "1", "-o", "a.png", "--scale", "2", "--scale", "3"}, "--scale given twice"},
        {{"--beat", "1", "-o", "a.png", "-o", "b.png"}, "-o given twice"},
        {{"--beat", "1", "-o", "a.jpg"},
         "-o a.jpg: name a .png file or a folder ending in /, or add --raw"},
        {{"--beat", "1", "--beat", "2", "-o", "a.png"},
         "-o a.png holds one moment, not 2; use -o DIR/ for several"},
        {{"--beat", "1", "-o", "-"}, "-o - writes raw canvases to stdout and needs --raw"},
        {{"--beat", "1", "--raw"}, "no output: give -o, --sheet or --video"},
        {{"--beat", "1", "--raw", "--sheet", "s.png"}, "--raw needs -o FILE or -o -"},
        {{"--beat", "1", "--raw", "-o", "d/"}, "--raw writes one file: -o FILE or -o -"},
        {{"--beat", "1", "--raw", "-o", "a.raw", "--scale", "2"},
         "--raw writes the canvases as they are; --scale does not apply"},
        {{"--beat", "1", "-o", "a.png", "--sheet", "s.png"},
         "give only one of -o, --sheet and --video"},
        {{"--beat", "1", "--sheet", "s.jpg"}, "--sheet s.jpg: the sheet is a .png file"},
        {{"--beat", "1", "-o", "a.png", "--cols", "3"}, "--cols belongs to --sheet"},
        {{"--beat", "1", "--sheet", "s.png", "--cols", "0"},
         "--cols: '0' is not a whole number from 1 to 1000"},
        {{"--beats", "0:3000:1", "--sheet", "s.png", "--scale", "8"},
         "would be 4384 x 225632 pixels"},
        {{"--beat", "1", "--from", "2", "-o", "a.png"}, "--from and --to belong to --fps"},
        {{"--fps", "0", "-o", "d/"}, "--fps: '0' is not a whole number from 1 to 1000"},
        {{"--fps", "10", "--fps", "20", "-o", "d/"}, "--fps given twice"},
        {{"--fps", "10", "--from", "5", "--to", "5", "-o", "d/"}, "--to must lie after --from"},
        {{"--fps", "10", "--from", "0", "--to", "1e-10", "-o", "d/"},
         "--fps: no frame lies between --from and --to"},
        {{"--fps", "10", "--video", "a.avi"},
         "--video a.avi: the name must end in .mp4, .webm or .gif"},
        {{"--beats", "0:8:1", "--video", "a.mp4"}, "--video needs --fps and no other moments"},
        {{"--fps", "10", "--beat", "3", "--video", "a.mp4"},
         "--video needs --fps and no other moments"},
        {{"--fps", "60", "--video", "a.gif"},
         "a gif keeps time only at 1, 2, 4, 5, 10, 20, 25 or 50 frames per "
         "second, not 60"},
        {{"--fps", "10", "--video", "a.gif", "--lossless"}, "--lossless: a gif is always paletted"},
        {{"--fps", "10", "--video", "a.mp4", "--scale", "3"},
         "--video a.mp4: an mp4 keeps the pixel blocks sharp only at an even --scale, not 3 (or "
         "add --lossless)"},
        {{"--fps", "10", "-o", "d/", "--size", "63x100"},
         "--size: expected WxH with W and H whole"},
        {{"--fps", "10", "-o", "d/", "--size", "1920"}, "--size: expected WxH"},
        {{"--beat", "1", "-o", "a.png", "--size", "640x480", "--scale", "2"},
         "give --size or --scale, not both"},
        {{"--fps", "10", "--video", "a.gif", "--size", "640x480"}, "--size belongs to .mp4"},
        {{"--fps", "10", "--video", "a.mp4", "--size", "641x480"}, "needs an even --size"},
        {{"--fps", "10", "--video", "a.mp4", "--size", "200x126"}, "at least 128 pixels"},
        {{"--fps", "10", "-o", "d/", "--no-audio"}, "--no-audio belongs to --video"},
        {{"--fps", "10", "-o", "d/", "--lossless"}, "--lossless belongs to --video"},
        {{"--beat", "1", "-o", "a.png", "--data", ""}, "--data needs a non-empty path"},
        {{"--beat", "1", "-o", "a.png", "--bogus"}, "unknown argument '--bogus'"},
        {{"--beat", "1", "a.png"}, "unknown argument 'a.png'"},
    };
    for (const Refusal& c : cases) {
        const Parsed p = parse(c.args);
        EXPECT_FALSE(p.ok) << joined(c.args);
        EXPECT_NE(p.error.find(c.reason), std::string::npos)
            << joined(c.args) << "\n  gave: " << p.error;
    }
}

}  // namespace
