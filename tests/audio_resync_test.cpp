// Music that common players play, plays: junk, zeros and padding before the first frame
// or between frames are skipped, with bounds, and a file without audio says so plainly.
#include "audio/mp3_decoder.h"

#include "audio_mp3_maker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using DecoderPtr = std::unique_ptr<Mp3Decoder, void (*)(Mp3Decoder*)>;

Bytes randomJunk(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (uint8_t& b : bytes) b = uint8_t(random());
    return bytes;
}

// Offsets of the frames of a clean encoder output, each found from the one before.
std::vector<size_t> frameStarts(const Bytes& mp3) {
    std::vector<size_t> starts;
    for (size_t at = 0; at + 4 <= mp3.size() && isMpegFrameHeader(&mp3[at], 4);
         at += mpegFrameBytes(&mp3[at]))
        starts.push_back(at);
    return starts;
}

// Decoded output frames (44.1 kHz stereo), or -1 when the file is refused.
long decodedFrames(const Bytes& file, std::string& reason) {
    DecoderPtr decoder(openMp3(file, reason), closeMp3);
    if (!decoder) return -1;
    long frames = 0;
    uint8_t buffer[4 * 1024];
    for (;;) {
        const size_t got = decodeMp3(decoder.get(), buffer, sizeof buffer);
        frames += long(got / 4);
        if (got < sizeof buffer) break;
    }
    return frames;
}

struct GapCase {
    const char* what;
    bool beforeFirstFrame;  // else in the middle, between two frames
    Bytes gap;
};

}  // namespace

TEST(Mp3FrameRun, FrameLengthsFollowTheHeaders) {
    const uint8_t mpeg1Layer3At128k[] = {0xFF, 0xFB, 0x90, 0x64};      // 417 bytes
    const uint8_t padded[] = {0xFF, 0xFB, 0x92, 0x64};                 // 418
    const uint8_t mpeg2Layer3At64k22050[] = {0xFF, 0xF3, 0x80, 0xC4};  // 208
    const uint8_t mpeg1Layer2At192k48k[] = {0xFF, 0xFD, 0xA4, 0x04};   // 576
    const uint8_t mpeg1Layer1At32k32k[] = {0xFF, 0xFF, 0x18, 0x04};    // 48
    EXPECT_EQ(mpegFrameBytes(mpeg1Layer3At128k), 417u);
    EXPECT_EQ(mpegFrameBytes(padded), 418u);
    EXPECT_EQ(mpegFrameBytes(mpeg2Layer3At64k22050), 208u);
    EXPECT_EQ(mpegFrameBytes(mpeg1Layer2At192k48k), 576u);
    EXPECT_EQ(mpegFrameBytes(mpeg1Layer1At32k32k), 48u);
    const Bytes mp3 = makeMp3(TestTone());
    EXPECT_GT(frameStarts(mp3).size(), 30u);
}

// A lone header, or one whose successor does not follow at its length, is no start; a
// run of three is.
TEST(Mp3FrameRun, NeedsHeadersFollowingEachOther) {
    const Bytes mp3 = makeMp3(TestTone());
    Bytes file = {0xFF, 0xFB, 0x90, 0x64, 0x00, 0x00};
    file.insert(file.end(), mp3.begin(), mp3.end());
    EXPECT_EQ(firstFrameOffset(file.data(), file.size(), 0), 6u);
    Bytes tooFar(kMaxLeadingJunkBytes, 0);
    tooFar.insert(tooFar.end(), mp3.begin(), mp3.end());
    EXPECT_EQ(firstFrameOffset(tooFar.data(), tooFar.size(), 0), SIZE_MAX);
    EXPECT_EQ(firstFrameOffset(tooFar.data(), tooFar.size(), 1), kMaxLeadingJunkBytes);
}

// Each gap as a common player takes it: the whole track plays, no shorter than without
// the gap (a chance frame header in random junk may add up to three frames of noise).
TEST(Mp3Resync, GapsBeforeAndBetweenFramesAreSkipped) {
    TestTone tone;
    tone.seconds = 2.0;
    const Bytes mp3 = makeMp3(tone);
    std::string reason;
    const long clean = decodedFrames(mp3, reason);
    ASSERT_GT(clean, 0) << reason;
    Bytes id3Padding = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};  // counts 10 bytes of body
    id3Padding.resize(10 + 10 + 2048, 0);                      // holds 2048 more
    const GapCase cases[] = {
        {"1 KB of zeros before the first frame", true, Bytes(1000, 0)},
        {"ID3 padding the tag does not count", true, id3Padding},
        {"30 KiB of junk before the first frame", true, randomJunk(30 * 1024, 1)},
        {"8 KiB of junk between frames", false, randomJunk(8 * 1024, 2)},
        {"4 KiB of zeros between frames", false, Bytes(4096, 0)},
        {"200 KiB of zeros between frames", false, Bytes(200 * 1024, 0)},
    };
    const std::vector<size_t> starts = frameStarts(mp3);
    for (const GapCase& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes file = mp3;
        const size_t at = c.beforeFirstFrame ? 0 : starts[starts.size() / 2];
        file.insert(file.begin() + long(at), c.gap.begin(), c.gap.end());
        const long frames = decodedFrames(file, reason);
        EXPECT_GE(frames, clean) << reason;
        EXPECT_LE(frames, clean + 3 * 1152);
    }
}

// A gap longer than the bound ends the track there, as a damaged frame does: it plays
// the first half and no more.
TEST(Mp3Resync, AGapBeyondTheBoundEndsTheTrack) {
    TestTone tone;
    tone.seconds = 2.0;
    const Bytes mp3 = makeMp3(tone);
    const std::vector<size_t> starts = frameStarts(mp3);
    Bytes file = mp3;
    file.insert(file.begin() + long(starts[starts.size() / 2]), size_t(kMaxGapBytes) + 4096, 0);
    std::string reason;
    const long frames = decodedFrames(file, reason);
    EXPECT_NEAR(double(frames) / 44100, 1.0, 0.1) << reason;
}

// Plain reasons: random bytes are refused from the first 64 KiB alone; a file holding only
// the encoder's info frame has no audio.
TEST(Mp3Resync, FilesWithoutAudioAreNamedPlainly) {
    std::string reason;
    EXPECT_EQ(decodedFrames(randomJunk(1 << 20, 3), reason), -1);
    EXPECT_EQ(reason, "not an MP3 stream: no MPEG audio frames in its first 64 KiB");
    // Random bytes hold a frame header every few thousand bytes, but not a run of them.
    int runs = 0;
    for (unsigned seed = 10; seed < 110; ++seed) {
        const Bytes junk = randomJunk(kMaxLeadingJunkBytes, seed);
        runs += firstFrameOffset(junk.data(), junk.size(), 0) != SIZE_MAX;
    }
    EXPECT_EQ(runs, 0);
    const Bytes mp3 = makeMp3(TestTone());
    const Bytes infoOnly(mp3.begin(), mp3.begin() + long(frameStarts(mp3)[1]));
    EXPECT_EQ(decodedFrames(infoOnly, reason), -1);
    EXPECT_EQ(reason, "not an MP3 stream: no decodable audio");
}
