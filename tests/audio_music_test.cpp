#include "audio/mp3_decoder.h"
#include "audio/music.h"
#include "audio/music_clock.h"
#include "audio/music_output.h"
#include "demo/timeline.h"

#include "audio_mp3_maker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

const std::vector<uint8_t>& shortTrack() {
    static const std::vector<uint8_t> mp3 = [] {
        TestTone tone;
        tone.seconds = 0.4;
        tone.clickAt = 0.1;
        return makeMp3(tone);
    }();
    return mp3;
}

int64_t decodedLength(const std::vector<uint8_t>& mp3) {
    std::string reason;
    Mp3Decoder* decoder = openMp3(mp3, reason);
    EXPECT_TRUE(decoder) << reason;
    int64_t total = 0;
    uint8_t buffer[4096];
    while (size_t got = decodeMp3(decoder, buffer, sizeof buffer)) total += int64_t(got);
    closeMp3(decoder);
    return total;
}

// A track file for the lifetime of the test process. Death tests fork, so their children
// see the file their parent wrote.
std::string trackFile() {
    static const std::string path = [] {
        const std::string p = "/tmp/audio_music_test_" + std::to_string(getpid()) + ".mp3";
        EXPECT_TRUE(writeTestFile(p, shortTrack()));
        return p;
    }();
    return path;
}

struct RemoveTrackFile : testing::Environment {
    void TearDown() override { std::remove(trackFile().c_str()); }
};
testing::Environment* const removeTrackFile =
    testing::AddGlobalTestEnvironment(new RemoveTrackFile);

// Reads the position every 2 ms until it passes `length` or 10 s have passed; every read
// must be monotonic. Past the end it goes on in real time: 100 ms later it has moved on
// by about 100 ms.
void expectPlaysPastTheEnd(MusicOutput* output, int64_t length) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int64_t last = 0;
    while (last <= length && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const int64_t now = musicOutputBytes(output);
        ASSERT_GE(now, last);
        last = now;
    }
    EXPECT_GT(last, length);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const double ranOn = musicBytesToSeconds(musicOutputBytes(output) - last);
    EXPECT_GT(ranOn, 0.08);
    EXPECT_LT(ranOn, 0.2);
}

MusicOutput* openTrack(bool silent) {
    std::string reason;
    Mp3Decoder* decoder = openMp3(shortTrack(), reason);
    EXPECT_TRUE(decoder) << reason;
    return silent ? openSilentMusicOutput(decoder) : openMusicOutput(decoder);
}

}  // namespace

// On SDL's dummy device the heard position runs through the track and on.
TEST(MusicOutput, DevicePlaysPastTheEnd) {
    setenv("INTRO_AUDIO", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    MusicOutput* output = openTrack(false);
    ASSERT_TRUE(musicOutputHasDevice(output));
    EXPECT_EQ(musicOutputBytes(output), 0) << "moves before it is started";
    startMusicOutput(output);
    expectPlaysPastTheEnd(output, decodedLength(shortTrack()));
    closeMusicOutput(output);
}

// Without a device the same stream is consumed in real time, through the end and on.
TEST(MusicOutput, SilentClockPlaysPastTheEnd) {
    MusicOutput* output = openTrack(true);
    EXPECT_FALSE(musicOutputHasDevice(output));
    startMusicOutput(output);
    expectPlaysPastTheEnd(output, decodedLength(shortTrack()));
    closeMusicOutput(output);
}

// A 2 s track on the silent clock: after its last sample the clock runs on in real time,
// past 5 s, so a short track never freezes the show.
TEST(MusicOutput, ShortTrackRunsOnInRealTime) {
    TestTone tone;
    tone.seconds = 2.0;
    std::string reason;
    Mp3Decoder* decoder = openMp3(makeMp3(tone), reason);
    ASSERT_TRUE(decoder) << reason;
    MusicOutput* output = openSilentMusicOutput(decoder);
    const auto start = std::chrono::steady_clock::now();
    startMusicOutput(output);
    double seconds = 0;
    while (seconds <= 5.0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(8)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const double now = musicBytesToSeconds(musicOutputBytes(output));
        ASSERT_GE(now, seconds);
        seconds = now;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(seconds, 5.0);
    EXPECT_NEAR(seconds, elapsed, 0.1) << "not in real time";
    closeMusicOutput(output);
}

// Starting again plays from the beginning, on either clock.
TEST(MusicOutput, StartingAgainBeginsAtTheStart) {
    setenv("INTRO_AUDIO", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const int64_t length = decodedLength(shortTrack());
    for (bool silent : {false, true}) {
        MusicOutput* output = openTrack(silent);
        startMusicOutput(output);
        expectPlaysPastTheEnd(output, length);
        startMusicOutput(output);
        EXPECT_LT(musicOutputBytes(output), length / 2) << "silent: " << silent;
        expectPlaysPastTheEnd(output, length);
        closeMusicOutput(output);
    }
}

// A path that cannot be played ends the process with status 1 and the one stderr line.
TEST(MusicDeathTest, FailureEndsTheProcessWithItsReason) {
    const std::string missing = "/tmp/audio_music_test_missing/x.mp3";
    EXPECT_EXIT(initMusic(missing.c_str(), kShowEndSeconds), testing::ExitedWithCode(1),
                "^Failed to load music: " + missing + ": No such file or directory\n$");
    EXPECT_EXIT(initMusic("/tmp", kShowEndSeconds), testing::ExitedWithCode(1),
                "^Failed to load music: /tmp: Is a directory\n$");
}

// No output device, neither a sound server nor SDL's: one warning naming both, and the
// show's clock still runs. The track is shorter than the show, which gets its one note.
TEST(MusicDeathTest, NoDeviceWarnsOnceAndKeepsTime) {
    const std::string track = trackFile();
    EXPECT_EXIT(
        {
            unsetenv("INTRO_AUDIO");
            setenv("PULSE_SERVER", "unix:/nonexistent/native", 1);
            setenv("SDL_AUDIODRIVER", "nonexistent", 1);
            initMusic(track.c_str(), kShowEndSeconds);
            startMusic();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (musicSeconds() < 0.1 && std::chrono::steady_clock::now() < deadline) {}
            std::exit(musicSeconds() >= 0.1 ? 0 : 2);
        },
        testing::ExitedWithCode(0),
        "^audio: " + track +
            " lasts 0.4 s, less than the show's 128.8 s; the show runs on in "
            "silence after it\n"
            "audio: no output device \\(sound server: [^\n]*; SDL audio: [^\n]*\\); playing on a "
            "silent clock\n$");
}

// Ending the process while the audio thread runs, as Escape does, is clean: nothing the
// thread uses is destroyed by exit.
TEST(MusicDeathTest, ExitWhilePlayingIsClean) {
    const std::string track = trackFile();
    for (const char* driver : {"dummy", "nonexistent"}) {
        EXPECT_EXIT(
            {
                setenv("INTRO_AUDIO", "sdl", 1);
                setenv("SDL_AUDIODRIVER", driver, 1);
                initMusic(track.c_str(), kShowEndSeconds);
                startMusic();
                const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(60);
                while (std::chrono::steady_clock::now() < until) musicSeconds();
                std::exit(0);
            },
            testing::ExitedWithCode(0), "")
            << driver;
    }
}
