// The clock fed by an output that reports its own latency, as a sound server does: the
// reports are the truth of a simulated server, which plays at a steady rate except where a
// case makes it stall or skip; the clock must follow what is heard.
#include "audio/music_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int64_t kMs = 1000000;
constexpr double kBytesPerMs = double(kMusicBytesPerSecond) / 1000.0;
constexpr int64_t kWriteBytes = 1764;  // 10 ms of sound, as a server asks for it

// Position of the sound being heard at a time in ns, in bytes of the stream; negative
// while the first sound is still on its way (what a playing server's report implies), and
// nothing is heard then.
using HeardAt = std::function<double(int64_t)>;

struct Played {
    std::vector<int64_t> ns;
    std::vector<int64_t> clock;  // readMusicClock
    std::vector<double> heard;   // the truth at the same moments
};

// Writes every 10 ms (plus `lateness` per write), each reporting latency = handed - heard,
// with `reportNoiseMs` of random error, or kLatencyUnknown while `unknown` says so. The
// writer keeps `queueMs` ahead of what is heard. Reads every ms up to endNs.
Played simulate(const HeardAt& heardAt, double queueMs, int64_t endNs, double reportNoiseMs = 0,
                const std::function<bool(int64_t)>& unknown = nullptr) {
    MusicClock clock;
    resetMusicClock(clock, 0);
    std::mt19937 random(99);
    std::uniform_real_distribution<double> noise(-reportNoiseMs, reportNoiseMs);
    Played run;
    int64_t handed = 0;
    int64_t nextWrite = 0;
    for (int64_t now = 0; now <= endNs; now += kMs) {
        while (nextWrite <= now) {
            const double heard = heardAt(nextWrite);
            // Fill up to the queue the server wants.
            int64_t bytes = std::max<int64_t>(
                0, int64_t(std::max(0.0, heard) + queueMs * kBytesPerMs) - handed);
            bytes = std::max<int64_t>(bytes & ~int64_t(3), 4);
            int64_t latency = int64_t(double(handed) - heard + noise(random) * kBytesPerMs);
            if (unknown && unknown(nextWrite)) latency = kLatencyUnknown;
            noteDeviceCallback(clock, nextWrite, bytes, bytes, latency);
            handed += bytes;
            nextWrite += 10 * kMs;
        }
        run.ns.push_back(now);
        run.clock.push_back(readMusicClock(clock, now));
        run.heard.push_back(std::max(0.0, heardAt(now)));
    }
    return run;
}

// Never backwards, never faster than kMaxClockSpeed, from read `from` on.
void expectSmooth(const Played& run, size_t from = 1) {
    for (size_t i = std::max<size_t>(from, 1); i < run.ns.size(); ++i) {
        const double step = double(run.clock[i] - run.clock[i - 1]);
        ASSERT_GE(step, 0) << "went backwards at " << run.ns[i] / kMs << " ms";
        ASSERT_LE(step, double(run.ns[i] - run.ns[i - 1]) / 1e6 * kBytesPerMs * kMaxClockSpeed + 1)
            << "jumped at " << run.ns[i] / kMs << " ms";
    }
}

// Largest |clock - heard| in ms over reads from fromNs to toNs.
double largestErrorMs(const Played& run, int64_t fromNs, int64_t toNs) {
    double worst = 0;
    for (size_t i = 0; i < run.ns.size(); ++i)
        if (run.ns[i] >= fromNs && run.ns[i] <= toNs)
            worst = std::max(worst, std::fabs(double(run.clock[i]) - run.heard[i]) / kBytesPerMs);
    return worst;
}

// A server that starts playing at startMs and then plays at real time.
HeardAt steadyFrom(double startMs) {
    return [startMs](int64_t ns) { return (double(ns) / kMs - startMs) * kBytesPerMs; };
}

}  // namespace

// A sink that holds 150 ms (Bluetooth, HDMI, PULSE_LATENCY_MSEC=150): the clock is where
// the sound is, not 150 ms ahead of it, from the first report on.
TEST(MusicClockLatency, LargeSteadyLatencyIsHeardWhereItIs) {
    const Played run = simulate(steadyFrom(150), 150, 3000 * kMs);
    expectSmooth(run);
    EXPECT_LE(largestErrorMs(run, 0, 3000 * kMs), 0.5);
}

// Reports that scatter by +-3 ms around the truth (a rough server): the clock keeps within
// 2 ms of the sound and moves smoothly.
TEST(MusicClockLatency, RoughReportsAreSmoothed) {
    const Played run = simulate(steadyFrom(40), 40, 6000 * kMs, 3.0);
    expectSmooth(run);
    EXPECT_LE(largestErrorMs(run, 1000 * kMs, 6000 * kMs), 2.0);
}

// The sink's latency grows from 40 to 200 ms in steps of 20 ms over two seconds (a sink
// that takes more and more sound: the sound stalls for each step): the clock stalls with it,
// ahead of the sound by no more than a step plus what is left of the earlier steps after
// smoothing (20 ms + 7.4 + 2.7 + ...), and is with the sound again once the latency is
// steady.
TEST(MusicClockLatency, GrowingLatencyHoldsTheClock) {
    const HeardAt heard = [](int64_t ns) {
        const double ms = double(ns) / kMs;
        const double stalled = std::clamp(std::floor((ms - 1000) / 250) + 1, 0.0, 8.0) * 20;
        return (ms - 40 - stalled) * kBytesPerMs;
    };
    const Played run = simulate(heard, 40, 5000 * kMs);
    expectSmooth(run);
    for (size_t i = 0; i < run.ns.size(); ++i)
        ASSERT_LE(double(run.clock[i]) - run.heard[i], 35 * kBytesPerMs) << run.ns[i] / kMs;
    EXPECT_LE(largestErrorMs(run, 4000 * kMs, 5000 * kMs), 0.5);
}

// The latency shrinks from 200 to 40 ms at once (sound dropped, the sink moved to a
// faster device): the sound skips 160 ms ahead; the clock catches up at most
// kMaxClockSpeed and is with the sound again within 4 s.
TEST(MusicClockLatency, ShrinkingLatencyIsCaughtUpSmoothly) {
    const HeardAt heard = [](int64_t ns) {
        const double ms = double(ns) / kMs;
        return (ms < 1000 ? ms - 200 : ms - 40) * kBytesPerMs;
    };
    const Played run = simulate(heard, 200, 5000 * kMs);
    expectSmooth(run);
    EXPECT_LE(largestErrorMs(run, 0, 990 * kMs), 0.5);
    EXPECT_LE(largestErrorMs(run, 4500 * kMs, 5000 * kMs), 0.5);
}

// A jump of the latency by 130 ms (a switch to Bluetooth: the sound stalls while the new
// sink fills): the clock never goes back, waits for the sound, then follows it again.
TEST(MusicClockLatency, JumpingLatencyWaitsForTheSound) {
    const HeardAt heard = [](int64_t ns) {
        const double ms = double(ns) / kMs;
        return (ms < 1000 ? ms - 40 : std::max(960.0, ms - 170)) * kBytesPerMs;
    };
    const Played run = simulate(heard, 40, 3000 * kMs);
    expectSmooth(run);
    EXPECT_LE(largestErrorMs(run, 2000 * kMs, 3000 * kMs), 0.5);
    // Until the stall passes 50 ms it looks like a rough report and is smoothed; from then
    // on the clock waits. Ahead of the sound by no more than that.
    for (size_t i = 0; i < run.ns.size(); ++i)
        ASSERT_LE(double(run.clock[i]) - run.heard[i], 55 * kBytesPerMs) << run.ns[i] / kMs;
}

// The server restarts: for half a second no report can be had while the writes go on
// into the void, then a fresh server reports a small latency (the sound it held is
// lost: the heard position skips ahead). No step back, no jump, with the sound again soon.
TEST(MusicClockLatency, ServerRestartSkipsAheadSmoothly) {
    const HeardAt heard = [](int64_t ns) {
        const double ms = double(ns) / kMs;
        return (ms < 1000 ? ms - 40 : ms - 20) * kBytesPerMs;
    };
    const auto restarting = [](int64_t ns) { return ns >= 1000 * kMs && ns < 1500 * kMs; };
    const Played run = simulate(heard, 40, 3000 * kMs, 0, restarting);
    expectSmooth(run);
    EXPECT_LE(largestErrorMs(run, 0, 990 * kMs), 0.5);
    EXPECT_LE(largestErrorMs(run, 2500 * kMs, 3000 * kMs), 0.5);
}

// Before the server's first report nothing is published: the clock stays at 0, then
// starts from where the first report places the sound, at once, though that is 200 ms in.
// Early in the stream a report far ahead of the clock is likewise taken at once (a sink
// that rewinds the silence it had queued when the stream starts).
TEST(MusicClockLatency, WaitsForTheFirstReport) {
    const auto noReportYet = [](int64_t ns) { return ns < 300 * kMs; };
    const Played run = simulate(steadyFrom(100), 40, 1500 * kMs, 0, noReportYet);
    expectSmooth(run, 301);
    for (size_t i = 0; i < run.ns.size() && run.ns[i] < 300 * kMs; ++i) ASSERT_EQ(run.clock[i], 0);
    EXPECT_LE(largestErrorMs(run, 301 * kMs, 1500 * kMs), 0.5);
}

TEST(MusicClockLatency, EarlyRewindIsTakenAtOnce) {
    const HeardAt heard = [](int64_t ns) {
        const double ms = double(ns) / kMs;
        return (ms < 200 ? ms - 300 : ms - 40) * kBytesPerMs;
    };
    const Played run = simulate(heard, 40, 1500 * kMs);
    EXPECT_LE(largestErrorMs(run, 0, 190 * kMs), 0.5);
    EXPECT_LE(largestErrorMs(run, 220 * kMs, 1500 * kMs), 0.5);
    expectSmooth(run, 220);
}
