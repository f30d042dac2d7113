#pragma once
#include "audio/stream.h"

#include <atomic>
#include <cstdint>

// Seconds of a byte position: converted to double, divided by 44100.0, times 0.25.
inline double musicBytesToSeconds(int64_t bytes) {
    return double(bytes) / 44100.0 * 0.25;
}

// Fastest the reported position may run, relative to real time, while it catches up with
// the device after a late or bunched callback. It never runs backwards and it stops
// whenever it is ahead of the device.
constexpr double kMaxClockSpeed = 1.05;

// Position of the sound being heard, shared between exactly one writer (the audio thread,
// once per device callback) and exactly one reader (the frame loop). Times are nanoseconds
// on one monotonic clock chosen by the caller; nothing here reads a clock itself, so the
// whole behaviour can be driven by simulated callbacks.
struct MusicClock {
    // Writer side, touched only by the audio thread.
    int64_t handedBytes = 0;   // everything given to the device, trailing silence included
    int64_t musicBytes = 0;    // music among handedBytes; the track length once it has ended
    bool trackEnded = false;   // a callback got less music than it asked for
    double estimateBytes = 0;  // filtered heard position at estimateNs
    int64_t estimateNs = 0;
    bool hasEstimate = false;

    // Published by the writer, read without locks: the heard position anchorBytes (may be
    // negative while the first buffers are still queued) at anchorNs, advancing in real
    // time but never beyond limitBytes (kNoClockLimit once the track has ended). The
    // sequence is odd while an update is under way and 0 until the first callback.
    std::atomic<uint64_t> sequence{0};
    std::atomic<double> anchorBytes{0};
    std::atomic<int64_t> anchorNs{0};
    std::atomic<int64_t> limitBytes{0};

    // Reader side, touched only by the frame loop.
    double shownBytes = 0;  // last reported position; never decreases
    int64_t shownNs = 0;
    bool anchorSeen = false;
    double seenAnchorBytes = 0;  // the last consistent anchor read
    int64_t seenAnchorNs = 0;
    int64_t seenLimitBytes = 0;
};

// limitBytes once the whole track has been handed over: from then on the clock runs on in
// real time through the silence after it, so a short track never freezes the show.
constexpr int64_t kNoClockLimit = INT64_MAX;

// latencyBytes of a callback whose output cannot yet say how much it holds: the sound is
// counted, the heard position is not updated.
constexpr int64_t kLatencyUnknown = INT64_MIN;

// Back to the start of the track at nowNs. Only while no callback can run (device locked
// or not started) and from the reader's thread.
void resetMusicClock(MusicClock& clock, int64_t nowNs);

// The device asks for `bytes` at nowNs; `musicBytes` of them are music, the rest silence
// after the end of the track. latencyBytes: sound handed earlier that is still queued in
// front of this buffer, as the output reports it (the whole way to the speaker where the
// sound server can tell; negative after an underrun, when the device has played past what
// was handed; 0 for a clock without a device; kLatencyUnknown before the first report).
// Reports may grow, shrink or jump: small differences are smoothed, jumps of more than
// 50 ms are taken at once.
void noteDeviceCallback(MusicClock& clock, int64_t nowNs, int64_t bytes, int64_t musicBytes,
                        int64_t latencyBytes);

// Byte position of the sound heard at nowNs, for the reader. Never decreases between calls,
// never advances faster than kMaxClockSpeed x real time (but in the first 0.5 s of sound,
// where a position 50 ms or more ahead is taken at once: sinks settle as a stream starts),
// never passes the music handed to the device while the track lasts; after its last
// sample it runs on in real time. 0 before the first callback.
int64_t readMusicClock(MusicClock& clock, int64_t nowNs);
