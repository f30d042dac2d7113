// intro-render --check and --fit-music run as a program on made data folders: the default
// pack from make-data, its track shifted by known amounts, drum hits at other tempos,
// silence, noise, and pictures with each problem the check names.
#include "audio/mp3_decoder.h"
#include "audio_mp3_maker.h"
#include "drum_hits.h"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kTrackSeconds = 15;

struct Outcome {
    int status;
    std::string out;
};

Outcome run(const std::string& arguments) {
    const std::string command = std::string(INTRO_RENDER) + " " + arguments + " 2>&1";
    Outcome outcome{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        outcome.out.append(buffer, got);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

// The default pack, made once by make-data.
fs::path defaultPack() {
    const fs::path pack = fs::path(CHECK_WORK_DIR) / "default";
    static const int made =
        std::system((std::string(MAKE_DATA) + " " + pack.string() + " >/dev/null 2>&1").c_str());
    EXPECT_EQ(made, 0);
    return pack;
}

// A copy of the default pack under `name` whose music is pcm.
fs::path packWithMusic(const std::string& name, const std::vector<int16_t>& pcm) {
    const fs::path dir = fs::path(CHECK_WORK_DIR) / name;
    fs::remove_all(dir);
    fs::copy(defaultPack(), dir, fs::copy_options::recursive);
    EXPECT_TRUE(writeTestFile((dir / "vorb_06_mp3.mp3").string(), encodeMp3(pcm, 44100, 2)));
    return dir;
}

// The first seconds of the default track as the intro's reader decodes them.
std::vector<int16_t> defaultTrackStart() {
    std::string reason;
    Mp3Decoder* decoder = openMp3File((defaultPack() / "vorb_06_mp3.mp3").c_str(), reason);
    EXPECT_NE(decoder, nullptr) << reason;
    std::vector<int16_t> pcm(size_t(kTrackSeconds * 44100) * 2);
    if (!decoder) return pcm;
    const size_t bytes = pcm.size() * 2;
    EXPECT_EQ(decodeMp3(decoder, reinterpret_cast<uint8_t*>(pcm.data()), bytes), bytes);
    closeMp3(decoder);
    return pcm;
}

// The track moved by ms: silence before it for a positive shift, its start cut otherwise.
std::vector<int16_t> shifted(const std::vector<int16_t>& pcm, double ms) {
    const size_t values = size_t(std::abs(ms) * 44.1) * 2;
    if (ms < 0) return std::vector<int16_t>(pcm.begin() + long(values), pcm.end());
    std::vector<int16_t> moved(values, 0);
    moved.insert(moved.end(), pcm.begin(), pcm.end());
    return moved;
}

// The signed offset of "beats land N ms after|before the show's", or NaN when absent.
double landedMs(const std::string& out) {
    std::smatch match;
    if (!std::regex_search(out, match, std::regex("beats land (\\d+) ms (after|before)")))
        return std::nan("");
    const double ms = std::stod(match[1]);
    return match[2] == "after" ? ms : -ms;
}

// The default track is on the show's beat; shifted copies are found off by their shift.
TEST(RenderCheck, MeasuresWhereTheTracksBeatsLand) {
    const Outcome whole = run("--data " + defaultPack().string() + " --check");
    EXPECT_EQ(whole.status, 0) << whole.out;
    EXPECT_NE(whole.out.find("pictures: 42 of 42 loaded"), std::string::npos) << whole.out;
    EXPECT_NEAR(landedMs(whole.out), 0, 3) << whole.out;
    EXPECT_NE(whole.out.find("(150.0 BPM, confident)"), std::string::npos) << whole.out;

    const std::vector<int16_t> start = defaultTrackStart();
    for (double shift : {40.0, -25.0, 200.0}) {
        const std::string name = "shift" + std::to_string(int(shift));
        const Outcome out =
            run("--data " + packWithMusic(name, shifted(start, shift)).string() + " --check");
        SCOPED_TRACE(out.out);
        EXPECT_EQ(out.status, 1);
        EXPECT_NEAR(landedMs(out.out), shift, 3);
        // Only the first 15 s were kept.
        EXPECT_NE(out.out.find("problem: music: 15."), std::string::npos);
    }
}

// Other tempos, silence and noise: each named for what it is, none taken as on the beat.
TEST(RenderCheck, NamesTempoSilenceAndNoise) {
    const Outcome slow = run(
        "--data " + packWithMusic("bpm75", drumHits(75, 0, kTrackSeconds)).string() + " --check");
    EXPECT_NEAR(landedMs(slow.out), 0, 3) << slow.out;
    EXPECT_NE(slow.out.find("(75.0 BPM, confident)"), std::string::npos) << slow.out;

    const Outcome other = run(
        "--data " + packWithMusic("bpm128", drumHits(128, 0, kTrackSeconds)).string() + " --check");
    EXPECT_EQ(other.status, 1);
    EXPECT_TRUE(std::regex_search(
        other.out,
        std::regex("problem: music: 128\\.0 BPM, not the show's 150: its beats "
                   "drift 10\\d\\d\\d ms per minute against the show's \\(confident\\)")))
        << other.out;

    const Outcome silent =
        run("--data " + packWithMusic("silence", std::vector<int16_t>(44100 * 2 * 10)).string() +
            " --check");
    EXPECT_EQ(silent.status, 1);
    EXPECT_NE(silent.out.find("problem: music: silent"), std::string::npos) << silent.out;

    std::vector<int16_t> noise(size_t(kTrackSeconds * 44100) * 2);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> sample(-8000, 8000);
    for (int16_t& value : noise) value = int16_t(sample(random));
    const Outcome noisy = run("--data " + packWithMusic("noise", noise).string() + " --check");
    EXPECT_EQ(noisy.status, 1);
    EXPECT_EQ(noisy.out.find("confident)"), std::string::npos) << noisy.out;
    EXPECT_NE(noisy.out.find("no steady beat found"), std::string::npos) << noisy.out;
}

// An RGBA picture of w x h pixels, every pixel `pixel` (R, G, B, A in memory order).
void writePicture(const fs::path& path, int w, int h, uint32_t pixel) {
    std::vector<uint32_t> pixels(size_t(w) * size_t(h), pixel);
    ASSERT_TRUE(stbi_write_png(path.c_str(), w, h, 4, pixels.data(), w * 4));
}

// Each picture problem is named with its file; the pack's budget too.
TEST(RenderCheck, NamesEachPictureProblem) {
    const fs::path dir = packWithMusic("pictures", drumHits(150, 0, 1));
    fs::remove(dir / "darkhelmet.png");
    writePicture(dir / "glasses.png", 64, 64, 0xFF808080);
    writePicture(dir / "barf.png", 64, 64, 0x7F0000FF);      // alpha 127: invisible
    writePicture(dir / "lonestar.png", 64, 64, 0xFF00FF00);  // no cut-out
    writePicture(dir / "rasberry.png", 40, 40, 0x00000000);  // cut off by the edge (and invisible)
    ASSERT_TRUE(writeTestFile((dir / "jtranim/jtr02.png").string(), {'n', 'o', 't'}));
    const Outcome out = run("--data " + dir.string() + " --check");
    EXPECT_EQ(out.status, 1);
    const std::string d = dir.string() + "/";
    for (const std::string& line :
         {"problem: pictures: cannot load " + d + "darkhelmet.png",
          "problem: pictures: " + d +
              "glasses.png is 64x64 pixels; the show needs at least 128x128",
          "problem: pictures: " + d + "barf.png: nothing in it is opaque",
          "problem: pictures: " + d + "lonestar.png: opaque everywhere, but the show draws it over",
          "problem: pictures: " + d +
              "rasberry.png is 40x40 pixels; where the show draws it only 34x36",
          "problem: pictures: cannot load " + d + "jtranim/jtr02.png"})
        EXPECT_NE(out.out.find(line), std::string::npos) << line << "\n" << out.out;

    // Five pictures of 64 MiB each go beyond the 256 MiB the pack may take.
    for (const char* name :
         {"barf.png", "lonestar.png", "rasberry.png", "jtranim/jtr03.png", "jtranim/jtr04.png"})
        writePicture(dir / name, 4096, 4096, 0xFF000000);
    const Outcome over = run("--data " + dir.string() + " --check --json");
    EXPECT_EQ(over.status, 1);
    EXPECT_EQ(over.out.rfind("{\"plays_as_meant\": false", 0), 0u) << over.out;
    EXPECT_NE(over.out.find("would decode to more than 256 MiB"), std::string::npos) << over.out;
}

// --fit-music moves the beats onto the show's; the copy checks within 2 ms; the input is
// never the output.
TEST(RenderCheck, FitMusicPutsTheBeatsOnTheShows) {
    const fs::path dir = packWithMusic("fit", shifted(defaultTrackStart(), 40));
    const fs::path in = dir / "late.mp3", music = dir / "vorb_06_mp3.mp3";
    fs::rename(music, in);
    const Outcome fit = run("--fit-music " + in.string() + " -o " + music.string());
    EXPECT_EQ(fit.status, 0) << fit.out;
    const Outcome check = run("--data " + dir.string() + " --check");
    EXPECT_NEAR(landedMs(check.out), 0, 2) << check.out;

    const auto size = fs::file_size(in);
    const Outcome same = run("--fit-music " + in.string() + " -o " + in.string());
    EXPECT_EQ(same.status, 1);
    EXPECT_NE(same.out.find("the output is the input"), std::string::npos) << same.out;
    EXPECT_EQ(fs::file_size(in), size);

    const Outcome beatless =
        run("--fit-music " + (fs::path(CHECK_WORK_DIR) / "noise/vorb_06_mp3.mp3").string() +
            " -o " + (dir / "out.mp3").string());
    EXPECT_EQ(beatless.status, 1);
    EXPECT_FALSE(fs::exists(dir / "out.mp3"));
}

}  // namespace
