#include "audio/music_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int64_t kBuffer = 4096;  // bytes per simulated device callback
constexpr double kNsPerByte = 1e9 / double(kMusicBytesPerSecond);
constexpr int64_t kMs = 1000000;
// Nominal time between callbacks: one buffer of sound.
const double kPeriodNs = double(kBuffer) * kNsPerByte;

struct Read {
    int64_t ns;
    int64_t bytes;
};

// Feeds the clock one callback of kBuffer bytes at each of callbackNs (ascending), music
// while musicBytes last and silence after, and reads it every readStepNs up to endNs.
std::vector<Read> simulate(const std::vector<int64_t>& callbackNs, int64_t musicBytes,
                           int64_t latency, int64_t endNs, int64_t readStepNs = kMs) {
    MusicClock clock;
    resetMusicClock(clock, 0);
    std::vector<Read> reads;
    size_t next = 0;
    int64_t musicLeft = musicBytes;
    for (int64_t now = 0; now <= endNs; now += readStepNs) {
        for (; next < callbackNs.size() && callbackNs[next] <= now; ++next) {
            const int64_t music = std::min(kBuffer, musicLeft);
            musicLeft -= music;
            noteDeviceCallback(clock, callbackNs[next], kBuffer, music, latency);
        }
        reads.push_back({now, readMusicClock(clock, now)});
    }
    return reads;
}

std::vector<int64_t> regularCallbacks(int count, int64_t startNs) {
    std::vector<int64_t> times;
    for (int k = 0; k < count; ++k) times.push_back(startNs + std::llround(k * kPeriodNs));
    return times;
}

// The reader's promises: never backwards, never faster than kMaxClockSpeed x real time.
void expectSmooth(const std::vector<Read>& reads) {
    for (size_t i = 1; i < reads.size(); ++i) {
        const int64_t step = reads[i].bytes - reads[i - 1].bytes;
        const double allowed =
            double(reads[i].ns - reads[i - 1].ns) / kNsPerByte * kMaxClockSpeed + 1;
        ASSERT_GE(step, 0) << "went backwards at " << reads[i].ns << " ns";
        ASSERT_LE(double(step), allowed) << "jumped at " << reads[i].ns << " ns";
    }
}

// Largest distance in ms from the position a device started at startNs, playing
// without pause, has reached (clamped to [0, musicBytes]).
double largestDeviationMs(const std::vector<Read>& reads, int64_t startNs, int64_t musicBytes) {
    double worst = 0;
    for (const Read& r : reads) {
        double ideal = double(r.ns - startNs) / kNsPerByte;
        ideal = std::clamp(ideal, 0.0, double(musicBytes));
        worst = std::max(worst, std::fabs(double(r.bytes) - ideal) * kNsPerByte / kMs);
    }
    return worst;
}

}  // namespace

// The conversion itself: a byte position of 4 x 44100 is exactly one second, 0 is zero.
TEST(MusicClock, FourTimes44100BytesIsOneSecond) {
    EXPECT_EQ(musicBytesToSeconds(4 * 44100), 1.0);
    EXPECT_EQ(musicBytesToSeconds(0), 0.0);
    EXPECT_EQ(musicBytesToSeconds(kMusicBytesPerSecond * 120), 120.0);
}

// Callbacks exactly on time: the position is the heard sound, one buffer behind what was
// handed over, and reads one second of bytes one second after that sound began.
TEST(MusicClock, RegularCallbacksGiveTheHeardPosition) {
    const int64_t start = 5 * kMs;
    const std::vector<Read> reads =
        simulate(regularCallbacks(200, start), 1 << 30, kBuffer, 3000 * kMs);
    expectSmooth(reads);
    // Latency of one buffer: the first buffer is heard from the second callback on.
    const int64_t heardFrom = start + std::llround(kPeriodNs);
    EXPECT_LE(largestDeviationMs(reads, heardFrom, 1 << 30), 0.01);
    const Read oneSecondIn = reads[size_t((heardFrom + 1000 * kMs) / kMs)];
    EXPECT_NEAR(musicBytesToSeconds(oneSecondIn.bytes), double(oneSecondIn.ns - heardFrom) / 1e9,
                1e-5);
}

// Before the first callback nothing has been heard.
TEST(MusicClock, ZeroBeforeTheFirstCallback) {
    MusicClock clock;
    resetMusicClock(clock, 0);
    EXPECT_EQ(readMusicClock(clock, 0), 0);
    EXPECT_EQ(readMusicClock(clock, 500 * kMs), 0);
}

// Every 7th callback 15 ms late, the next one on time (so the two arrive bunched): the
// reader stays smooth and close to the steadily playing device.
TEST(MusicClock, LateAndBunchedCallbacksStaySmooth) {
    std::vector<int64_t> times = regularCallbacks(300, 0);
    for (size_t k = 7; k < times.size(); k += 7) times[k] += 15 * kMs;
    const std::vector<Read> reads = simulate(times, 1 << 30, kBuffer, 6000 * kMs);
    expectSmooth(reads);
    EXPECT_LE(largestDeviationMs(reads, std::llround(kPeriodNs), 1 << 30), 5.0);
}

// Callbacks in pairs, the second of each pair a whole period early: the position stays
// within well under one period (23 ms) of the steady device; a clock that only counted
// handed buffers would be off by up to two.
TEST(MusicClock, EarlyCallbacksInPairsStaySmooth) {
    std::vector<int64_t> times = regularCallbacks(300, 0);
    for (size_t k = 1; k < times.size(); k += 2) times[k] = times[k - 1] + kMs / 10;
    const std::vector<Read> reads = simulate(times, 1 << 30, kBuffer, 6000 * kMs);
    expectSmooth(reads);
    EXPECT_LE(largestDeviationMs(reads, std::llround(kPeriodNs), 1 << 30), 15.0);
}

// Random lateness of up to 6 ms on every callback, read at a 0.25 ms grid.
TEST(MusicClock, JitteredCallbacksStayWithinAFewMilliseconds) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int64_t> lateness(0, 6 * kMs);
    std::vector<int64_t> times = regularCallbacks(400, 0);
    for (int64_t& t : times) t += lateness(random);
    const std::vector<Read> reads = simulate(times, 1 << 30, kBuffer, 9000 * kMs, kMs / 4);
    expectSmooth(reads);
    EXPECT_LE(largestDeviationMs(reads, std::llround(kPeriodNs), 1 << 30), 6.0);
}

// A device that plays 1 % fast: the reader catches up instead of falling behind for ever.
TEST(MusicClock, FollowsADeviceThatPlaysFast) {
    std::vector<int64_t> times;
    for (int k = 0; k < 500; ++k) times.push_back(std::llround(k * kPeriodNs / 1.01));
    const std::vector<Read> reads = simulate(times, 1 << 30, 0, 11000 * kMs);
    expectSmooth(reads);
    const Read last = reads.back();
    EXPECT_NEAR(double(last.bytes), double(last.ns) / kNsPerByte * 1.01, 4.0 * kMs / kNsPerByte);
}

// The track ends inside a buffer: the position passes its exact length without a pause
// and runs on in real time through the silence the device keeps asking for.
TEST(MusicClock, RunsOnInRealTimeAfterTheTrack) {
    const int64_t length = 50 * kBuffer + 1236;
    const std::vector<Read> reads = simulate(regularCallbacks(200, 0), length, kBuffer, 4000 * kMs);
    expectSmooth(reads);
    const int64_t heardFrom = std::llround(kPeriodNs);
    EXPECT_LE(largestDeviationMs(reads, heardFrom, 1 << 30), 0.01);
    EXPECT_GT(reads.back().bytes, 3 * length);
}

// Callbacks stop for good after the track has ended: the clock still runs on in real time,
// so the show reaches its end even when the device goes quiet.
TEST(MusicClock, RunsOnAfterTheTrackWithoutCallbacks) {
    const int64_t length = 10 * kBuffer;
    const std::vector<Read> reads = simulate(regularCallbacks(12, 0), length, kBuffer, 3000 * kMs);
    expectSmooth(reads);
    EXPECT_LE(largestDeviationMs(reads, std::llround(kPeriodNs), 1 << 30), 0.01);
}

// Callbacks stop (device stalled): the position halts no later than the sound handed over,
// then resumes without a jump when callbacks return.
TEST(MusicClock, HaltsWhenCallbacksStopAndResumesSmoothly) {
    std::vector<int64_t> times = regularCallbacks(40, 0);
    const std::vector<int64_t> later = regularCallbacks(40, 2000 * kMs);
    times.insert(times.end(), later.begin(), later.end());
    const std::vector<Read> reads = simulate(times, 1 << 30, 0, 3500 * kMs);
    expectSmooth(reads);
    const int64_t handedBeforeStall = 40 * kBuffer;
    for (const Read& r : reads)
        if (r.ns < 2000 * kMs) {
            ASSERT_LE(r.bytes, handedBeforeStall) << r.ns;
        }
    EXPECT_GT(reads.back().bytes, handedBeforeStall + 40 * kBuffer / 2);
}

// A writer interrupted in the middle of an update never makes the reader wait: it goes on
// from the last anchor it saw.
TEST(MusicClock, ReaderDoesNotWaitForAnInterruptedWriter) {
    MusicClock clock;
    resetMusicClock(clock, 0);
    noteDeviceCallback(clock, 0, kBuffer, kBuffer, 0);
    noteDeviceCallback(clock, std::llround(kPeriodNs), kBuffer, kBuffer, 0);
    const int64_t before = readMusicClock(clock, 30 * kMs);
    clock.sequence.fetch_add(1);  // an update begun, never finished
    const int64_t during = readMusicClock(clock, 35 * kMs);
    EXPECT_GE(during, before);
    EXPECT_LE(during, 2 * kBuffer);
    EXPECT_GT(during, 0);
}

// Starting again puts the position back to the beginning.
TEST(MusicClock, ResetStartsOver) {
    MusicClock clock;
    resetMusicClock(clock, 0);
    for (int k = 0; k < 10; ++k)
        noteDeviceCallback(clock, std::llround(k * kPeriodNs), kBuffer, kBuffer, 0);
    EXPECT_GT(readMusicClock(clock, 200 * kMs), 0);
    resetMusicClock(clock, 300 * kMs);
    EXPECT_EQ(readMusicClock(clock, 301 * kMs), 0);
    noteDeviceCallback(clock, 302 * kMs, kBuffer, kBuffer, 0);
    EXPECT_NEAR(double(readMusicClock(clock, 312 * kMs)), 10 * kMs / kNsPerByte, 2);
}
