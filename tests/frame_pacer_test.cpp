#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace {

constexpr int64_t kMs = 1000000;
constexpr int64_t kSecond = 1000 * kMs;

// What a simulated frame loop did: when each frame's work began, and how often it slept.
struct LoopRun {
    std::vector<int64_t> starts;
    int sleeps = 0;
};

// Runs frames through a pacer for `duration` from t = 1 s. swapReturn(start, i) is when
// frame i's swap returns; oversleep(i) how late the sleep after frame i wakes.
LoopRun simulate(
    FramePacer pacer, int64_t duration, const std::function<int64_t(int64_t, int)>& swapReturn,
    const std::function<int64_t(int)>& oversleep = [](int) { return int64_t(0); }) {
    LoopRun run;
    int64_t t = kSecond;
    for (int i = 0; t < kSecond + duration; ++i) {
        run.starts.push_back(t);
        const int64_t swapped = swapReturn(t, i);
        const int64_t until = frameSleepUntil(pacer, t, swapped);
        EXPECT_TRUE(until == 0 || until > swapped) << "frame " << i;
        if (until != 0) ++run.sleeps;
        t = (until != 0 ? until : swapped) + oversleep(i);
    }
    return run;
}

// Swaps that return 2 ms after the work began: a driver ignoring the swap interval.
int64_t earlySwap(int64_t start, int) {
    return start + 2 * kMs;
}

TEST(FramePacer, UnknownRefreshIsTakenAs60Hz) {
    EXPECT_EQ(makeFramePacer(0).periodNs, kSecond / 60);
    EXPECT_EQ(makeFramePacer(-1).periodNs, kSecond / 60);
    EXPECT_EQ(makeFramePacer(144).periodNs, kSecond / 144);
}

// The case that burned a core: every frame starts one refresh after the one before.
TEST(FramePacer, EarlySwapsArePacedToTheRefresh) {
    for (int32_t hz : {60, 75, 144}) {
        const FramePacer pacer = makeFramePacer(hz);
        const LoopRun run = simulate(pacer, 10 * kSecond - kMs, earlySwap);
        ASSERT_EQ(int(run.starts.size()), 10 * hz) << hz << " Hz";
        for (size_t i = 0; i < run.starts.size(); ++i)
            ASSERT_EQ(run.starts[i], kSecond + int64_t(i) * pacer.periodNs)
                << hz << " Hz, frame " << i;
    }
}

// A swap that waits for the display's refresh still gets one frame per refresh when the
// display is a little slower than its reported rate (59.94 Hz shown as 60) or at it; one
// a little faster gets the reported rate.
TEST(FramePacer, SwapsThatWaitForTheRefreshKeepTheirRate) {
    struct Display {
        int64_t refreshNs;  // the real refresh; the pacer is told 60 Hz
        int64_t phaseNs;    // when the first refresh after the loop's start comes
        int64_t workNs;     // drawing before the swap
    };
    for (const Display d :
         {Display{kSecond / 60, 5 * kMs, kMs}, Display{kSecond / 60, 5 * kMs, 7 * kMs},
          Display{kSecond * 1001 / 60000, 1 * kMs, kMs}, Display{kSecond / 59, 2 * kMs, 3 * kMs},
          Display{kSecond / 61, 15 * kMs, kMs}}) {
        // The swap returns at the first refresh after the work.
        auto swapAtRefresh = [&d](int64_t start, int) {
            const int64_t first = kSecond + d.phaseNs;
            const int64_t done = start + d.workNs;
            if (done <= first) return first;
            return first + (done - first + d.refreshNs - 1) / d.refreshNs * d.refreshNs;
        };
        const LoopRun run = simulate(makeFramePacer(60), 10 * kSecond, swapAtRefresh);
        const int64_t refreshes = (10 * kSecond - d.phaseNs) / d.refreshNs + 1;
        const int64_t expected = refreshes < 600 ? refreshes : 600;
        EXPECT_NEAR(double(run.starts.size()), double(expected), 1.0)
            << "refresh " << d.refreshNs << " ns, work " << d.workNs << " ns";
    }
}

// Frames slower than a refresh run back to back, as without pacing.
TEST(FramePacer, SlowFramesAreNotDelayed) {
    const LoopRun run =
        simulate(makeFramePacer(60), kSecond, [](int64_t start, int) { return start + 40 * kMs; });
    EXPECT_EQ(run.sleeps, 0);
    EXPECT_EQ(run.starts.size(), 25u);
}

// A wake-up up to a refresh and a half late keeps the schedule, so the rate holds on a
// busy machine; a stall of several refreshes starts it afresh, with no burst after.
TEST(FramePacer, LateFramesKeepTheRateWithoutBursts) {
    const FramePacer pacer = makeFramePacer(60);
    const LoopRun jitter = simulate(pacer, 10 * kSecond - kMs, earlySwap, [](int i) {
        return i % 10 == 3 ? int64_t(25 * kMs) : int64_t(0);
    });
    EXPECT_EQ(jitter.starts.size(), 600u);
    for (size_t i = 0; i < jitter.starts.size(); ++i) {
        const int64_t behind = jitter.starts[i] - (kSecond + int64_t(i) * pacer.periodNs);
        ASSERT_TRUE(behind >= 0 && behind <= 25 * kMs)
            << "frame " << i << " " << behind << " ns late";
        // Frame 4 of every ten starts late, frame 5 straight after it, and 6 on time again.
        if (i % 10 != 4 && i % 10 != 5) {
            ASSERT_EQ(behind, 0) << "frame " << i << ", back on the schedule";
        }
    }

    const LoopRun stall = simulate(pacer, 2 * kSecond, earlySwap,
                                   [](int i) { return i == 30 ? int64_t(100 * kMs) : int64_t(0); });
    for (size_t i = 32; i < stall.starts.size(); ++i)  // no burst after the stall
        ASSERT_EQ(stall.starts[i] - stall.starts[i - 1], pacer.periodNs) << "frame " << i;
    EXPECT_EQ(stall.starts[31] - stall.starts[30], pacer.periodNs + 100 * kMs);
}

}  // namespace
