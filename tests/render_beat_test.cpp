// The beat analysis on made signals: where the beats land against the show's grid, which
// tempo a pulse has, and the levels of a track, all without files.
#include "beat_analysis.h"
#include "drum_hits.h"
#include "sound_levels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int kRate = 44100;

BeatVerdict judge(const std::vector<int16_t>& pcm) {
    const SoundLevels levels = soundLevels(pcm, 2, kRate);
    return judgeBeat(onsetEnvelope(pcm, 2, kRate), 150, levels.leadingSilenceSeconds);
}

// Silence of `ms` before the track.
std::vector<int16_t> delayed(const std::vector<int16_t>& pcm, double ms) {
    std::vector<int16_t> moved(size_t(ms * kRate / 1000) * 2, 0);
    moved.insert(moved.end(), pcm.begin(), pcm.end());
    return moved;
}

// Beats at the show's tempo, early or late by known amounts: the offset is found to a
// couple of milliseconds, the sign telling late from early.
TEST(BeatAnalysis, FindsHowFarTheBeatsLandFromTheShows) {
    const struct {
        double shiftMs;
        bool silenceFirst;  // late beats made by silence before the track
    } cases[] = {{0, false}, {40, true}, {-25, false}, {200, true}, {-200, false}, {13, false}};
    for (const auto& c : cases) {
        const std::vector<int16_t> pcm = c.silenceFirst ? delayed(drumHits(150, 0, 15), c.shiftMs)
                                                        : drumHits(150, c.shiftMs / 1000, 15);
        const BeatVerdict beat = judge(pcm);
        SCOPED_TRACE(c.shiftMs);
        ASSERT_EQ(beat.kind, BeatVerdict::OnGrid);
        EXPECT_TRUE(beat.confident);
        EXPECT_NEAR(beat.beatsPerMinute, 150, 0.05);
        EXPECT_NEAR(beat.offsetMs, c.shiftMs, 2.5);
    }
}

// A pulse on every other beat of the show is 75 BPM and on its grid; 128 BPM is not, and
// its drift against the show is what a minute of it accumulates.
TEST(BeatAnalysis, TellsTheTempoAndItsDrift) {
    const BeatVerdict slow = judge(drumHits(75, 0.030, 15));
    ASSERT_EQ(slow.kind, BeatVerdict::OnGrid);
    EXPECT_NEAR(slow.beatsPerMinute, 75, 0.05);
    EXPECT_NEAR(slow.offsetMs, 30, 2.5);

    const BeatVerdict other = judge(drumHits(128, 0, 15));
    ASSERT_EQ(other.kind, BeatVerdict::OtherTempo);
    EXPECT_TRUE(other.confident);
    EXPECT_NEAR(other.beatsPerMinute, 128, 0.1);
    // 150 beats of the show take 60 s; at 128 BPM they take 70.3 s.
    EXPECT_NEAR(other.driftMsPerMinute, 60000.0 * 22 / 128, 50);
}

// Noise and silence have no beat to judge.
TEST(BeatAnalysis, FindsNoBeatInNoiseOrSilence) {
    std::vector<int16_t> noise(size_t(15 * kRate) * 2);
    std::mt19937 random(3);
    std::normal_distribution<double> gauss(0, 3000);
    for (int16_t& sample : noise)
        sample = int16_t(std::fmax(-32000, std::fmin(32000, gauss(random))));
    const BeatVerdict noisy = judge(noise);
    EXPECT_FALSE(noisy.kind == BeatVerdict::OnGrid && noisy.confident);

    const std::vector<int16_t> silence(size_t(15 * kRate) * 2, 0);
    EXPECT_EQ(judge(silence).kind, BeatVerdict::NoBeat);
}

// Leading silence ends at the first sample above -60 dBFS in either channel; clipping is a
// run of three or more samples at full scale, not one loud sample.
TEST(SoundLevels, FindsLeadingSilenceAndClipping) {
    std::vector<int16_t> pcm(2 * kRate, 0);
    pcm[2 * 4410 + 1] = 40;                                       // right channel, 0.1 s
    for (size_t i = 0; i < 5; ++i) pcm[2 * (22050 + i)] = 32767;  // a run of 5 at 0.5 s
    pcm[2 * 30000] = -32768;                                      // one lone peak
    const SoundLevels levels = soundLevels(pcm, 2, kRate);
    EXPECT_FALSE(levels.silent);
    EXPECT_NEAR(levels.leadingSilenceSeconds, 0.1, 1e-6);
    EXPECT_EQ(levels.clippedSamples, 5u);
    EXPECT_NEAR(levels.firstClipSeconds, 0.5, 1e-6);

    const SoundLevels quiet = soundLevels(std::vector<int16_t>(kRate * 2, 33), 2, kRate);
    EXPECT_TRUE(quiet.silent);
}

}  // namespace
