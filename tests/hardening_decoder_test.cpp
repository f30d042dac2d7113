// Music files whose info tag lies: the claim is read where decoders read it, and a count
// the file cannot hold is not trusted, so opening and playing stay quick.
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
    for (size_t i = 0; i + 4 <= mp3.size() && i < 64; ++i)
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
        const size_t got = decodeMp3(decoder.get(), reinterpret_cast<uint8_t*>(buffer), sizeof buffer);
        samples.insert(samples.end(), buffer, buffer + got / 2);
        if (got < sizeof buffer) break;
    }
    size_t best = 0;
    for (size_t i = 0; i < samples.size(); i += 2)
        if (std::abs(samples[i]) > std::abs(samples[best])) best = i;
    return best / 2;
}

}  // namespace

// The count is read from the tag the encoder wrote, after the side information of the
// frame's version and channel mode, and is what the tag says, whatever it says.
TEST(InfoTagFrames, ReadsTheCountTheTagClaims) {
    Bytes mp3 = toneAt22050();
    const size_t at = tagOffset(mp3);
    EXPECT_EQ(at, 4u + 17u);  // MPEG-2 joint stereo: 17 bytes of side information
    putBe32(mp3, at + 8, 12345);
    EXPECT_EQ(infoTagFrames(mp3.data(), mp3.size()), 12345u);
    putBe32(mp3, at + 8, 0xFFFFFFFFu);
    EXPECT_EQ(infoTagFrames(mp3.data(), mp3.size()), 0xFFFFFFFFu);
}

TEST(InfoTagFrames, IsZeroWithoutATagOrACount) {
    Bytes mp3 = toneAt22050();
    const size_t at = tagOffset(mp3);
    Bytes noCount = mp3;
    noCount[at + 7] &= 0xFE;  // flags: no frame count
    EXPECT_EQ(infoTagFrames(noCount.data(), noCount.size()), 0u);
    Bytes renamed = mp3;
    std::memcpy(&renamed[at], "Junk", 4);
    EXPECT_EQ(infoTagFrames(renamed.data(), renamed.size()), 0u);
    // Cut inside the tag, and no frame header at all.
    EXPECT_EQ(infoTagFrames(mp3.data(), at + 11), 0u);
    const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    EXPECT_EQ(infoTagFrames(png.data(), png.size()), 0u);
    EXPECT_EQ(infoTagFrames(nullptr, 0), 0u);
}

// A frame protected by a CRC may carry the tag 2 bytes later; the claim is found there too.
TEST(InfoTagFrames, FindsTheTagBehindACrc) {
    Bytes mp3 = toneAt22050();
    const size_t at = tagOffset(mp3);
    mp3[1] &= 0xFE;  // protection bit cleared: a CRC follows the header
    mp3.insert(mp3.begin() + long(at), {0, 0});
    putBe32(mp3, at + 2 + 8, 777);
    EXPECT_EQ(infoTagFrames(mp3.data(), mp3.size()), 777u);
}

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

// A claim the file can hold is trusted: the count of a real track stays in use.
TEST(ForgedInfoTag, AnHonestClaimKeepsGaplessTrimming) {
    Bytes mp3 = toneAt22050();
    const size_t frames = infoTagFrames(mp3.data(), mp3.size());
    ASSERT_GT(frames, 0u);
    ASSERT_LE(frames * 4, mp3.size());
    EXPECT_NEAR(double(clickFrame(mp3)), 0.25 * 44100, 2);
}
