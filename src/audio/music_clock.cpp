#include "audio/music_clock.h"

#include <algorithm>
#include <cmath>

static constexpr double kBytesPerNs = double(kMusicBytesPerSecond) / 1e9;

// Time constant, in ns, with which the running estimate follows what the callbacks imply:
// callbacks arrive with scheduling jitter and servers report their latency roughly, while
// the device plays at a steady rate. Per unit of time rather than per callback, so outputs
// that call back often (a sound server every few ms) are smoothed as much as SDL's.
static constexpr double kEstimateTimeConstantNs = 0.25e9;

// A difference larger than this (50 ms of sound) is a real discontinuity, such as an
// underrun or the first buffers of playback, and replaces the estimate outright.
static constexpr double kResyncBytes = double(kMusicBytesPerSecond) * 0.05;

// Sound at the start of a stream (0.5 s) through which the reader follows the output's
// reports forward without the speed limit.
static constexpr double kSettlingBytes = double(kMusicBytesPerSecond) * 0.5;

// Reads of the published anchor before falling back to the last consistent one, so the
// reader never waits for a writer that was interrupted mid-update.
static constexpr int kSnapshotAttempts = 3;

void resetMusicClock(MusicClock& clock, int64_t nowNs) {
    clock.handedBytes = 0;
    clock.musicBytes = 0;
    clock.trackEnded = false;
    clock.estimateBytes = 0;
    clock.estimateNs = 0;
    clock.hasEstimate = false;
    clock.anchorBytes.store(0, std::memory_order_relaxed);
    clock.anchorNs.store(0, std::memory_order_relaxed);
    clock.limitBytes.store(0, std::memory_order_relaxed);
    clock.sequence.store(0, std::memory_order_release);
    clock.shownBytes = 0;
    clock.shownNs = nowNs;
    clock.anchorSeen = false;
    clock.seenAnchorBytes = 0;
    clock.seenAnchorNs = 0;
    clock.seenLimitBytes = 0;
}

static void publishAnchor(MusicClock& clock, double bytes, int64_t ns, int64_t limit) {
    const uint64_t sequence = clock.sequence.load(std::memory_order_relaxed);
    clock.sequence.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    clock.anchorBytes.store(bytes, std::memory_order_relaxed);
    clock.anchorNs.store(ns, std::memory_order_relaxed);
    clock.limitBytes.store(limit, std::memory_order_relaxed);
    clock.sequence.store(sequence + 2, std::memory_order_release);
}

void noteDeviceCallback(MusicClock& clock, int64_t nowNs, int64_t bytes, int64_t musicBytes,
                        int64_t latencyBytes) {
    if (latencyBytes == kLatencyUnknown) {
        // The sound is counted and the limit raised, so that an estimate already made runs
        // on through a gap in the reports instead of halting at the sound handed before it.
        clock.handedBytes += bytes;
        clock.musicBytes += musicBytes;
        clock.trackEnded = clock.trackEnded || musicBytes < bytes;
        if (clock.hasEstimate)
            publishAnchor(clock, clock.estimateBytes, clock.estimateNs,
                          clock.trackEnded ? kNoClockLimit : clock.musicBytes);
        return;
    }
    // What is heard now is what was handed before, less what is still queued before it.
    double heard = double(clock.handedBytes - latencyBytes);
    if (clock.hasEstimate) {
        const double predicted =
            clock.estimateBytes + double(nowNs - clock.estimateNs) * kBytesPerNs;
        const double difference = heard - predicted;
        const double sinceNs = double(nowNs - clock.estimateNs);
        const double gain = 1.0 - std::exp(-sinceNs / kEstimateTimeConstantNs);
        if (std::fabs(difference) < kResyncBytes) heard = predicted + difference * gain;
    }
    clock.estimateBytes = heard;
    clock.estimateNs = nowNs;
    clock.hasEstimate = true;
    clock.handedBytes += bytes;
    clock.musicBytes += musicBytes;
    clock.trackEnded = clock.trackEnded || musicBytes < bytes;
    publishAnchor(clock, heard, nowNs, clock.trackEnded ? kNoClockLimit : clock.musicBytes);
}

// Copies the published anchor into the reader's fields when a consistent one is available.
static void takeSnapshot(MusicClock& clock) {
    for (int attempt = 0; attempt < kSnapshotAttempts; ++attempt) {
        const uint64_t before = clock.sequence.load(std::memory_order_acquire);
        if (before == 0) return;
        if (before & 1) continue;
        const double bytes = clock.anchorBytes.load(std::memory_order_relaxed);
        const int64_t ns = clock.anchorNs.load(std::memory_order_relaxed);
        const int64_t limit = clock.limitBytes.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (clock.sequence.load(std::memory_order_relaxed) != before) continue;
        clock.seenAnchorBytes = bytes;
        clock.seenAnchorNs = ns;
        clock.seenLimitBytes = limit;
        clock.anchorSeen = true;
        return;
    }
}

int64_t readMusicClock(MusicClock& clock, int64_t nowNs) {
    takeSnapshot(clock);
    const double elapsedNs = double(std::max<int64_t>(nowNs - clock.shownNs, 0));
    if (clock.anchorSeen) {
        double target = clock.seenAnchorBytes + double(nowNs - clock.seenAnchorNs) * kBytesPerNs;
        if (clock.seenLimitBytes != kNoClockLimit)
            target = std::min(target, double(clock.seenLimitBytes));
        double fastest = clock.shownBytes + elapsedNs * kBytesPerNs * kMaxClockSpeed;
        // Early in the stream a position far ahead is taken as it is: sinks settle their
        // latency as a stream starts (a sink that wakes up, then rewinds the silence it had
        // queued), and the show must not start behind by that much for seconds while it
        // catches up. Small differences there are jitter and are smoothed as always.
        if (clock.shownBytes < kSettlingBytes && target - fastest > kResyncBytes) fastest = target;
        clock.shownBytes = std::max(clock.shownBytes, std::min(target, fastest));
    }
    clock.shownNs = std::max(clock.shownNs, nowNs);
    return int64_t(clock.shownBytes);
}
