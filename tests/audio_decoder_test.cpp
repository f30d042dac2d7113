#include "audio/mp3_decoder.h"
#include "assets/regular_file.h"

#include "audio_mp3_maker.h"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using DecoderPtr = std::unique_ptr<Mp3Decoder, void (*)(Mp3Decoder*)>;

DecoderPtr openBytes(std::vector<uint8_t> bytes, std::string& reason) {
    return DecoderPtr(openMp3(std::move(bytes), reason), closeMp3);
}

// Interleaved stereo samples of the whole track, in calls of an odd multiple of 4 bytes.
std::vector<int16_t> decodeAll(Mp3Decoder* decoder) {
    std::vector<int16_t> samples;
    uint8_t buffer[4 * 999];
    for (;;) {
        const size_t got = decodeMp3(decoder, buffer, sizeof buffer);
        EXPECT_EQ(got % 4, 0u);
        const int16_t* s = reinterpret_cast<const int16_t*>(buffer);
        samples.insert(samples.end(), s, s + got / 2);
        if (got < sizeof buffer) break;
    }
    return samples;
}

// Output frame holding the loudest left sample.
size_t loudestFrame(const std::vector<int16_t>& stereo) {
    size_t best = 0;
    for (size_t i = 0; i < stereo.size(); i += 2)
        if (std::abs(stereo[i]) > std::abs(stereo[best * 2])) best = i / 2;
    return best;
}

struct TempDir {
    std::string path;
    TempDir() {
        char name[] = "/tmp/audio_test_XXXXXX";
        path = mkdtemp(name) ? name : "";
    }
    ~TempDir() {
        const std::string command = "rm -rf '" + path + "'";
        if (!path.empty() && std::system(command.c_str()) != 0) std::perror("rm");
    }
};

std::vector<uint8_t> randomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = uint8_t(random());
    return bytes;
}

std::vector<uint8_t> pngBytes() {
    std::vector<uint8_t> pixels(32 * 32 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 37 + (i >> 7));
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<uint8_t>*>(context);
            out->insert(out->end(), static_cast<uint8_t*>(data),
                        static_cast<uint8_t*>(data) + size);
        },
        &png, 32, 32, 4, pixels.data(), 32 * 4);
    return png;
}

// A 10-byte ID3v2.4 header and `body` bytes of padding.
std::vector<uint8_t> id3v2Tag(size_t body) {
    std::vector<uint8_t> tag = {'I',
                                'D',
                                '3',
                                4,
                                0,
                                0,
                                uint8_t(body >> 21 & 0x7F),
                                uint8_t(body >> 14 & 0x7F),
                                uint8_t(body >> 7 & 0x7F),
                                uint8_t(body & 0x7F)};
    tag.resize(10 + body, 0);
    return tag;
}

struct Format {
    int rate;
    int channels;
};

void PrintTo(const Format& format, std::ostream* out) {
    *out << format.rate << " Hz, " << format.channels << " channel(s)";
}

class DecodedFormat : public testing::TestWithParam<Format> {};

}  // namespace

// Any rate and channel count comes out as 44.1 kHz stereo of the track's duration (within
// one MP3 frame), with the click where it was encoded: the encoder delay is removed and the
// tempo kept. A mono track has both channels equal.
TEST_P(DecodedFormat, KeepsDurationAndClickTime) {
    TestTone tone;
    tone.rate = GetParam().rate;
    tone.channels = GetParam().channels;
    tone.seconds = 2.0;
    tone.clickAt = 1.25;
    std::string reason;
    DecoderPtr decoder = openBytes(makeMp3(tone), reason);
    ASSERT_TRUE(decoder) << reason;
    const std::vector<int16_t> samples = decodeAll(decoder.get());

    const double samplesPerFrame = tone.rate >= 32000 ? 1152 : 576;
    const double frameBytes = samplesPerFrame * 44100.0 / tone.rate * 4;
    EXPECT_NEAR(double(samples.size() * 2), tone.seconds * 176400, frameBytes);
    // Within 1 ms; an ungapless decode would put it about 25 ms late.
    EXPECT_NEAR(double(loudestFrame(samples)), tone.clickAt * 44100, 44.1);
    if (tone.channels == 1) {
        for (size_t i = 0; i < samples.size(); i += 2) ASSERT_EQ(samples[i], samples[i + 1]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Mp3, DecodedFormat,
                         testing::Values(Format{44100, 2}, Format{48000, 1}, Format{22050, 2},
                                         Format{22050, 1}),
                         [](const testing::TestParamInfo<Format>& info) {
                             return std::to_string(info.param.rate) +
                                    (info.param.channels == 1 ? "Mono" : "Stereo");
                         });

// A file cut in the middle of a frame plays what it holds, then ends cleanly.
TEST(Mp3Decoder, TruncatedFilePlaysWhatItHolds) {
    TestTone tone;
    tone.seconds = 3.0;
    std::vector<uint8_t> mp3 = makeMp3(tone);
    mp3.resize(mp3.size() * 6 / 10 + 77);
    std::string reason;
    DecoderPtr decoder = openBytes(mp3, reason);
    ASSERT_TRUE(decoder) << reason;
    const std::vector<int16_t> samples = decodeAll(decoder.get());
    EXPECT_NEAR(double(samples.size()) / 2 / 44100, 0.6 * tone.seconds, 0.1);
    uint8_t more[64];
    EXPECT_EQ(decodeMp3(decoder.get(), more, sizeof more), 0u);
}

// Rewinding replays the identical stream from its first sample.
TEST(Mp3Decoder, RewindReplaysFromTheStart) {
    std::string reason;
    DecoderPtr decoder = openBytes(makeMp3(TestTone()), reason);
    ASSERT_TRUE(decoder) << reason;
    const std::vector<int16_t> first = decodeAll(decoder.get());
    ASSERT_TRUE(rewindMp3(decoder.get()));
    EXPECT_EQ(decodeAll(decoder.get()), first);
}

// ID3v2 tags before the first frame are skipped: the same audio as without them.
TEST(Mp3Decoder, SkipsLeadingId3v2Tags) {
    const std::vector<uint8_t> mp3 = makeMp3(TestTone());
    std::vector<uint8_t> tagged = id3v2Tag(1500);
    const std::vector<uint8_t> second = id3v2Tag(20);
    tagged.insert(tagged.end(), second.begin(), second.end());
    tagged.insert(tagged.end(), mp3.begin(), mp3.end());
    EXPECT_EQ(id3v2TagBytes(tagged.data(), tagged.size()), 1510u + 30u);
    std::string reason;
    DecoderPtr plain = openBytes(mp3, reason), withTags = openBytes(tagged, reason);
    ASSERT_TRUE(plain && withTags) << reason;
    EXPECT_EQ(decodeAll(withTags.get()), decodeAll(plain.get()));
}

// Contents that are no MP3 are refused, including ones a tolerant decoder might scan for
// a chance frame: random bytes (some starting with a real frame header), a PNG. (Junk
// before a real run of frames is skipped: audio_resync_test.cpp.)
TEST(Mp3Decoder, RefusesWhatIsNoMp3) {
    const std::vector<uint8_t> mp3 = makeMp3(TestTone());
    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
        {"empty", {}}, {"png", pngBytes()}, {"text", {'h', 'e', 'l', 'l', 'o', '\n'}}};
    for (unsigned seed = 0; seed < 40; ++seed) {
        std::vector<uint8_t> bytes = randomBytes(size_t(64) << (seed % 12), seed);
        cases.push_back({"random " + std::to_string(seed), bytes});
        std::copy(mp3.begin(), mp3.begin() + 4, bytes.begin());
        cases.push_back({"frame header, then random " + std::to_string(seed), bytes});
    }
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_FALSE(openBytes(c.second, reason)) << c.first;
        EXPECT_EQ(reason.rfind("not an MP3 stream", 0), 0u) << c.first << ": " << reason;
    }
}

// `frames` ADTS frames of AAC-LC, 44.1 kHz stereo, of `bytes` each, random payload.
static std::vector<uint8_t> adtsBytes(int frames, size_t bytes) {
    std::vector<uint8_t> out;
    for (int i = 0; i < frames; ++i) {
        const uint8_t header[7] = {0xFF,
                                   0xF1,
                                   0x50,
                                   uint8_t(0x80 | (bytes >> 11)),
                                   uint8_t(bytes >> 3),
                                   uint8_t((bytes & 7) << 5 | 0x1F),
                                   0xFC};
        out.insert(out.end(), header, header + 7);
        const std::vector<uint8_t> payload = randomBytes(bytes - 7, unsigned(i));
        out.insert(out.end(), payload.begin(), payload.end());
    }
    return out;
}

// Audio often named .mp3 by mistake is refused by what it is, from memory and from a file
// alike: AAC in ADTS frames (tagged or not) and an MP4/M4A file. A lone ADTS-like header,
// or "ftyp" elsewhere than an MP4's first box, names nothing.
TEST(Mp3Decoder, NamesAudioThatIsNoMp3) {
    const std::string aac = "not an MP3 stream: this is AAC audio (ADTS)";
    const std::string mp4 = "not an MP3 stream: this is an MP4/M4A file";
    const std::string none = "not an MP3 stream: no MPEG audio frames in its first 64 KiB";
    std::vector<uint8_t> tagged = id3v2Tag(500);
    const std::vector<uint8_t> adts = adtsBytes(30, 371);
    tagged.insert(tagged.end(), adts.begin(), adts.end());
    std::vector<uint8_t> m4a = randomBytes(4096, 1);
    const uint8_t box[12] = {0, 0, 0, 0x20, 'f', 't', 'y', 'p', 'M', '4', 'A', ' '};
    std::copy(box, box + 12, m4a.begin());
    std::vector<uint8_t> loneHeader = adtsBytes(1, 371);
    loneHeader.resize(4096, 0x55);
    std::vector<uint8_t> ftypLater = randomBytes(4096, 2);
    std::copy(box, box + 12, ftypLater.begin() + 100);
    const std::pair<const char*, std::pair<std::vector<uint8_t>, std::string>> cases[] = {
        {"ADTS", {adts, aac}},
        {"ADTS after a tag", {tagged, aac}},
        {"one ADTS frame, whole", {adtsBytes(1, 371), aac}},
        {"M4A", {m4a, mp4}},
        {"a lone ADTS header", {loneHeader, none}},
        {"ftyp at 100", {ftypLater, none}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        std::string fromMemory, fromFile;
        EXPECT_FALSE(openBytes(c.second.first, fromMemory)) << c.first;
        EXPECT_EQ(fromMemory, c.second.second) << c.first;
        const std::string path = dir.path + "/vorb_06_mp3.mp3";
        ASSERT_TRUE(writeTestFile(path, c.second.first));
        EXPECT_EQ(openMp3File(path.c_str(), fromFile), nullptr) << c.first;
        EXPECT_EQ(fromFile, c.second.second) << c.first;
    }
}

TEST(Mp3Decoder, RecognisesFrameHeaders) {
    const uint8_t mpeg1Layer3[] = {0xFF, 0xFB, 0x90, 0x64};
    const uint8_t mpeg2Layer3[] = {0xFF, 0xF3, 0x80, 0xC4};
    const uint8_t reservedVersion[] = {0xFF, 0xEB, 0x90, 0x64};
    const uint8_t reservedLayer[] = {0xFF, 0xF9, 0x90, 0x64};
    const uint8_t badBitrate[] = {0xFF, 0xFB, 0xF0, 0x64};
    const uint8_t reservedRate[] = {0xFF, 0xFB, 0x9C, 0x64};
    const uint8_t noSync[] = {0xFF, 0x7B, 0x90, 0x64};
    EXPECT_TRUE(isMpegFrameHeader(mpeg1Layer3, 4));
    EXPECT_TRUE(isMpegFrameHeader(mpeg2Layer3, 4));
    EXPECT_FALSE(isMpegFrameHeader(mpeg1Layer3, 3));
    EXPECT_FALSE(isMpegFrameHeader(reservedVersion, 4));
    EXPECT_FALSE(isMpegFrameHeader(reservedLayer, 4));
    EXPECT_FALSE(isMpegFrameHeader(badBitrate, 4));
    EXPECT_FALSE(isMpegFrameHeader(reservedRate, 4));
    EXPECT_FALSE(isMpegFrameHeader(noSync, 4));
}

// The reasons given for files that cannot be read at all.
TEST(MusicFile, NamesWhyAFileCannotBeRead) {
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const std::string empty = dir.path + "/empty.mp3", fifo = dir.path + "/fifo.mp3";
    ASSERT_TRUE(writeTestFile(empty, {}));
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {dir.path + "/missing.mp3", "No such file or directory"},
        {dir.path, "Is a directory"},
        {empty, "empty file"},
        {fifo, "not a regular file"},  // and no waiting for a writer
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = {1, 2, 3};
        std::string reason;
        EXPECT_FALSE(readRegularFile(c.first.c_str(), kMaxMusicFileBytes, bytes, reason))
            << c.first;
        EXPECT_EQ(reason, c.second) << c.first;
        EXPECT_TRUE(bytes.empty());
    }
}

// The limit is the caller's: a file one byte over it is refused unread, one at it is read.
TEST(MusicFile, RefusesAFileOverTheLimit) {
    TempDir dir;
    const std::string path = dir.path + "/big.mp3";
    const uint64_t limit = uint64_t(1) << 20;
    ASSERT_TRUE(writeTestFile(path, std::vector<uint8_t>(size_t(limit) + 1, 7)));
    std::vector<uint8_t> bytes;
    std::string reason;
    EXPECT_FALSE(readRegularFile(path.c_str(), limit, bytes, reason));
    EXPECT_EQ(reason, "file larger than 1 MiB");
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(readRegularFile(path.c_str(), limit + 1, bytes, reason)) << reason;
    EXPECT_EQ(bytes.size(), size_t(limit) + 1);
}

TEST(MusicFile, NamesAFileWithoutReadPermission) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
    TempDir dir;
    const std::string path = dir.path + "/locked.mp3";
    ASSERT_TRUE(writeTestFile(path, makeMp3(TestTone())));
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    std::string reason;
    EXPECT_EQ(openMp3File(path.c_str(), reason), nullptr);
    EXPECT_EQ(reason, "Permission denied");
}

// A whole file on disk opens and yields its audio.
TEST(MusicFile, OpensAnMp3File) {
    TempDir dir;
    const std::string path = dir.path + "/track.mp3";
    ASSERT_TRUE(writeTestFile(path, makeMp3(TestTone())));
    std::string reason;
    DecoderPtr decoder(openMp3File(path.c_str(), reason), closeMp3);
    ASSERT_TRUE(decoder) << reason;
    EXPECT_NEAR(double(decodeAll(decoder.get()).size()) / 2, 44100, 1152);
}

// The file is read as it plays, its head at opening: it must open and decode exactly as
// its bytes do in memory, whatever lies before the first frame (tags longer than the
// head, junk up to the limit) and when there is no frame within the limit.
TEST(MusicFile, ReadsAsItsBytesDoInMemory) {
    const std::vector<uint8_t> mp3 = makeMp3(TestTone());
    auto withPrefix = [&mp3](std::vector<uint8_t> prefix) {
        prefix.insert(prefix.end(), mp3.begin(), mp3.end());
        return prefix;
    };
    std::vector<uint8_t> tagThenJunk = id3v2Tag(3000);
    tagThenJunk.resize(tagThenJunk.size() + kMaxLeadingJunkBytes - 1, 0);
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"plain", mp3},
        {"a tag longer than the head", withPrefix(id3v2Tag(300 * 1024))},
        {"junk up to the limit after a tag", withPrefix(tagThenJunk)},
        {"junk past the limit", withPrefix(std::vector<uint8_t>(kMaxLeadingJunkBytes + 1, 0))},
        {"a cut first frame", std::vector<uint8_t>(mp3.begin(), mp3.begin() + 300)},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.path + "/track.mp3";
        ASSERT_TRUE(writeTestFile(path, c.second));
        std::string fromFile, fromMemory;
        DecoderPtr file(openMp3File(path.c_str(), fromFile), closeMp3);
        DecoderPtr memory = openBytes(c.second, fromMemory);
        ASSERT_EQ(bool(file), bool(memory)) << c.first << ": " << fromFile << " / " << fromMemory;
        EXPECT_EQ(fromFile, fromMemory) << c.first;
        if (!file) continue;
        EXPECT_EQ(mp3LengthBytes(file.get()), mp3LengthBytes(memory.get())) << c.first;
        EXPECT_EQ(decodeAll(file.get()), decodeAll(memory.get())) << c.first;
    }
}

// A file cut short while it plays ends the track where it now ends, cleanly; rewinding
// plays what is left.
TEST(MusicFile, CutShortWhilePlayingEndsTheTrackThere) {
    TempDir dir;
    const std::string path = dir.path + "/track.mp3";
    TestTone tone;
    tone.seconds = 3.0;
    const std::vector<uint8_t> mp3 = makeMp3(tone);
    ASSERT_TRUE(writeTestFile(path, mp3));
    std::string reason;
    DecoderPtr decoder(openMp3File(path.c_str(), reason), closeMp3);
    ASSERT_TRUE(decoder) << reason;
    std::vector<uint8_t> played(44100 * 4 / 2);  // half a second
    ASSERT_EQ(decodeMp3(decoder.get(), played.data(), played.size()), played.size());

    ASSERT_EQ(truncate(path.c_str(), off_t(mp3.size() / 2)), 0);
    const double rest = double(decodeAll(decoder.get()).size()) / 2 / 44100;
    EXPECT_NEAR(0.5 + rest, tone.seconds / 2, 0.1);
    uint8_t more[64];
    EXPECT_EQ(decodeMp3(decoder.get(), more, sizeof more), 0u);
    ASSERT_TRUE(rewindMp3(decoder.get()));
    EXPECT_NEAR(double(decodeAll(decoder.get()).size()) / 2 / 44100, tone.seconds / 2, 0.1);
}
