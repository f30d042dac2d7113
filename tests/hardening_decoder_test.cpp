// Music files whose info tag lies: a frame count the file cannot hold is not trusted, so
// opening and playing stay quick.
#include "audio/mp3_decoder.h"

#include "audio_mp3_maker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using DecoderPtr = std::unique_ptr<Mp3Decoder, void (*)(Mp3Decoder*)>;

// Where the encoder's tag lies in its first frame, found by name.
size_t tagOffset(const Bytes& mp3) {
    for (size_t i = 0; i + 4 <= mp3.size() && i < 80; ++i)
        if (std::memcmp(&mp3[i], "Info", 4) == 0 || std::memcmp(&mp3[i], "Xing", 4) == 0) return i;
    ADD_FAILURE() << "no info tag in the first frame";
    return 0;
}

void putBe32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(value >> (24 - 8 * i));
}

// The tone at 22.05 kHz, which is resampled, with a click 0.25 s in.
Bytes toneAt22050() {
    TestTone tone;
    tone.rate = 22050;
    tone.seconds = 0.5;
    tone.clickAt = 0.25;
    return makeMp3(tone);
}

// Output frame (44.1 kHz stereo) of the loudest left sample, after decoding everything.
size_t clickFrame(Bytes file) {
    std::string reason;
    DecoderPtr decoder(openMp3(std::move(file), reason), closeMp3);
    EXPECT_NE(decoder, nullptr) << reason;
    if (!decoder) return 0;
    std::vector<int16_t> samples;
    int16_t buffer[2 * 1000];
    for (;;) {
        const size_t got =
            decodeMp3(decoder.get(), reinterpret_cast<uint8_t*>(buffer), sizeof buffer);
        samples.insert(samples.end(), buffer, buffer + got / 2);
        if (got < sizeof buffer) break;
    }
    size_t best = 0;
    for (size_t i = 0; i < samples.size(); i += 2)
        if (std::abs(samples[i]) > std::abs(samples[best])) best = i;
    return best / 2;
}

}  // namespace

// Gapless trimming of a resampled stream costs time per claimed frame (about half a
// minute for four billion, again at every open and at the end). A claim the file cannot
// hold is not trusted: the file still plays, whole, and untrimmed, so the encoder's
// delay (576 + 529 samples at 22.05 kHz, doubled at 44.1 kHz) now comes before the click.
TEST(ForgedInfoTag, PlaysUntrimmedInsteadOfStalling) {
    const Bytes honest = toneAt22050();
    Bytes forged = honest;
    putBe32(forged, tagOffset(forged) + 8, 100000000);  // 100 million frames in 4 kB
    const size_t honestClick = clickFrame(honest);
    EXPECT_NEAR(double(honestClick), 0.25 * 44100, 2);
    EXPECT_NEAR(double(clickFrame(forged)), double(honestClick + 2 * (576 + 529)), 2);
}

// The same behind bytes that only look like the start of a frame: the decoder skips them
// and takes the tag from the frame it finds after them.
TEST(ForgedInfoTag, IsFoundBehindJunk) {
    const Bytes honest = toneAt22050();
    Bytes forged = {0xFF, 0xFB, 0x90, 0x64, 0x00, 0xA7, 0x00};  // an MPEG-1 header, no frame
    forged.insert(forged.end(), honest.begin(), honest.end());
    putBe32(forged, tagOffset(forged) + 8, 0xBB000006u);
    const size_t honestClick = clickFrame(honest);
    EXPECT_NEAR(double(clickFrame(forged)), double(honestClick + 2 * (576 + 529)), 2);
}

// A claim the file can hold is trusted: the track's own count keeps gapless trimming.
TEST(ForgedInfoTag, AnHonestClaimKeepsGaplessTrimming) {
    Bytes mp3 = toneAt22050();
    putBe32(mp3, tagOffset(mp3) + 8, uint32_t(mp3.size() / 4));  // the most a file can hold
    EXPECT_NEAR(double(clickFrame(mp3)), 0.25 * 44100, 2);
}

// The length the start-up note reports comes from a trusted tag only: asking the library
// for a forged one would resample the whole claim (minutes for four billion frames).
TEST(ForgedInfoTag, LeavesTheTrackLengthUnknown) {
    const Bytes honest = toneAt22050();
    Bytes forged = honest;
    putBe32(forged, tagOffset(forged) + 8, 0xFFFFFFFFu);
    std::string reason;
    DecoderPtr trusted(openMp3(Bytes(honest), reason), closeMp3);
    ASSERT_NE(trusted, nullptr) << reason;
    EXPECT_EQ(mp3LengthBytes(trusted.get()), int64_t(0.5 * 44100) * 4);
    DecoderPtr untrusted(openMp3(std::move(forged), reason), closeMp3);
    ASSERT_NE(untrusted, nullptr) << reason;
    EXPECT_EQ(mp3LengthBytes(untrusted.get()), -1);
}
