// The generated soundtrack, decoded gaplessly as the show plays it: format, length, the
// kick on the show's beat grid, and headroom.
#include <gtest/gtest.h>
#include <mpg123.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr long kRate = 44100;
// 150 beats per minute.
constexpr double kSecondsPerBeat = 0.4;

struct DecodedTrack {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    int bitrateKbps = 0;
    std::vector<int16_t> samples;  // interleaved left, right
    std::string error;
};

// Decodes the whole track once; every test reads the same copy.
const DecodedTrack& track() {
    static const DecodedTrack decoded = [] {
        DecodedTrack t;
        std::string path = std::string(DATA_PACK_DIR) + "/vorb_06_mp3.mp3";
        int err = MPG123_OK;
        mpg123_handle* mh = mpg123_new(nullptr, &err);
        if (!mh) {
            t.error = "mpg123_new failed";
            return t;
        }
        mpg123_param(mh, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
        mpg123_format_none(mh);
        mpg123_format(mh, kRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
        if (mpg123_open(mh, path.c_str()) != MPG123_OK) {
            t.error = "cannot open " + path;
            mpg123_delete(mh);
            return t;
        }
        mpg123_getformat(mh, &t.rate, &t.channels, &t.encoding);
        std::vector<unsigned char> buffer(1 << 16);
        for (;;) {
            size_t done = 0;
            int rc = mpg123_read(mh, buffer.data(), buffer.size(), &done);
            size_t at = t.samples.size();
            t.samples.resize(at + done / 2);
            std::memcpy(t.samples.data() + at, buffer.data(), done / 2 * 2);
            if (rc == MPG123_DONE) break;
            if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
                t.error = std::string("decode error: ") + mpg123_plain_strerror(rc);
                break;
            }
        }
        mpg123_frameinfo info;
        if (mpg123_info(mh, &info) == MPG123_OK) t.bitrateKbps = info.bitrate;
        mpg123_close(mh);
        mpg123_delete(mh);
        return t;
    }();
    return decoded;
}

double mono(const DecodedTrack& t, long frame) {
    return (t.samples[2 * frame] + t.samples[2 * frame + 1]) / 2.0;
}

// 44.1 kHz 16-bit stereo at 192 kbit/s or more, at least 336 beats long.
TEST(DataMusic, FormatAndLength) {
    const DecodedTrack& t = track();
    ASSERT_TRUE(t.error.empty()) << t.error;
    EXPECT_EQ(t.rate, kRate);
    EXPECT_EQ(t.channels, 2);
    EXPECT_EQ(t.encoding, MPG123_ENC_SIGNED_16);
    EXPECT_GE(t.bitrateKbps, 192);
    double seconds = static_cast<double>(t.samples.size() / 2) / kRate;
    EXPECT_GE(seconds, 134.4);
}

// The kick lands on the grid that starts at frame 0. Its attack is where the level jumps
// most: the point within 30 ms of the beat where the RMS of the next 10 ms exceeds that of
// the previous 10 ms by the largest amount. It must lie within 2 ms of the beat, and the
// jump must be kick-sized (over a tenth of full scale).
TEST(DataMusic, KickOnTheBeatGrid) {
    const DecodedTrack& t = track();
    ASSERT_TRUE(t.error.empty()) << t.error;
    const long search = kRate * 30 / 1000, span = kRate * 10 / 1000, tolerance = kRate * 2 / 1000;
    for (int beat : {16, 100, 300}) {
        SCOPED_TRACE(beat);
        long at = std::lround(beat * kSecondsPerBeat * kRate);
        ASSERT_LT((at + search + span) * 2, static_cast<long>(t.samples.size()));
        // energy[i] = sum of squares of the mono frames before at - search - span + i.
        long first = at - search - span;
        std::vector<double> energy(1, 0.0);
        for (long n = first; n < at + search + span; ++n)
            energy.push_back(energy.back() + mono(t, n) * mono(t, n));
        auto rms = [&](long from) {
            return std::sqrt((energy[from + span - first] - energy[from - first]) / span);
        };
        long onset = at - search;
        double bestRise = -1;
        for (long n = at - search; n < at + search; ++n) {
            double rise = rms(n) - rms(n - span);
            if (rise > bestRise) {
                bestRise = rise;
                onset = n;
            }
        }
        EXPECT_GT(bestRise, 0.1 * 32768);
        EXPECT_LE(std::labs(onset - at), tolerance)
            << "onset " << (onset - at) * 1000.0 / kRate << " ms off";
    }
}

// Headroom: every sample stays below -1 dBFS, and neither channel carries DC.
TEST(DataMusic, PeakBelowMinusOneDbAndNoDc) {
    const DecodedTrack& t = track();
    ASSERT_TRUE(t.error.empty()) << t.error;
    ASSERT_FALSE(t.samples.empty());
    const double limit = 32768 * std::pow(10.0, -1.0 / 20);
    int peak = 0;
    double sum[2] = {0, 0};
    for (size_t i = 0; i < t.samples.size(); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(t.samples[i])));
        sum[i % 2] += t.samples[i];
    }
    EXPECT_LT(peak, limit);
    double frames = static_cast<double>(t.samples.size() / 2);
    for (double s : sum) EXPECT_LT(std::fabs(s / frames), 0.0005 * 32768);
}

// The track ends cleanly: its last beat is silent.
TEST(DataMusic, EndsInSilence) {
    const DecodedTrack& t = track();
    ASSERT_TRUE(t.error.empty()) << t.error;
    long frames = static_cast<long>(t.samples.size() / 2);
    long lastBeat = std::lround(kSecondsPerBeat * kRate);
    ASSERT_GT(frames, lastBeat);
    int loudest = 0;
    for (long n = frames - lastBeat; n < frames; ++n)
        loudest = std::max({loudest, std::abs(static_cast<int>(t.samples[2 * n])),
                            std::abs(static_cast<int>(t.samples[2 * n + 1]))});
    EXPECT_LE(loudest, 8);
}

}  // namespace
