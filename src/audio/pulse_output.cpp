// The sound server through libpulse: PulseAudio itself, or pipewire-pulse. Plays the
// stream asking for a small latency; the server's own account of the sound queued in front
// of each write, the sink's buffer included, places the clock, so sinks that hold much more
// sound than requested (Bluetooth, HDMI, a user's PULSE_LATENCY_MSEC) are accounted for.
// libpulse is loaded when the output opens: without it the next output plays.
#include "audio/music_clock.h"
#include "audio/output_choice.h"
#include "audio/shared_library.h"
#include "audio/stream.h"

#include <pulse/pulseaudio.h>
#include <pulse/rtclock.h>

#include <algorithm>
#include <cmath>

// Every function of libpulse.so.0 this output calls, its thread main loop included.
#define PULSE_FUNCTIONS(F)           \
    F(pa_context_connect)            \
    F(pa_context_disconnect)         \
    F(pa_context_errno)              \
    F(pa_context_get_state)          \
    F(pa_context_new)                \
    F(pa_context_rttime_new)         \
    F(pa_context_set_state_callback) \
    F(pa_context_unref)              \
    F(pa_operation_unref)            \
    F(pa_rtclock_now)                \
    F(pa_stream_begin_write)         \
    F(pa_stream_cancel_write)        \
    F(pa_stream_connect_playback)    \
    F(pa_stream_cork)                \
    F(pa_stream_disconnect)          \
    F(pa_stream_flush)               \
    F(pa_stream_get_latency)         \
    F(pa_stream_get_state)           \
    F(pa_stream_get_timing_info)     \
    F(pa_stream_new)                 \
    F(pa_stream_set_state_callback)  \
    F(pa_stream_set_write_callback)  \
    F(pa_stream_unref)               \
    F(pa_stream_update_timing_info)  \
    F(pa_stream_writable_size)       \
    F(pa_stream_write)               \
    F(pa_strerror)                   \
    F(pa_threaded_mainloop_free)     \
    F(pa_threaded_mainloop_get_api)  \
    F(pa_threaded_mainloop_lock)     \
    F(pa_threaded_mainloop_new)      \
    F(pa_threaded_mainloop_signal)   \
    F(pa_threaded_mainloop_start)    \
    F(pa_threaded_mainloop_stop)     \
    F(pa_threaded_mainloop_unlock)   \
    F(pa_threaded_mainloop_wait)     \
    F(pa_usec_to_bytes)

struct PulseLibrary {
    PULSE_FUNCTIONS(LIBRARY_FUNCTION)
};

// Sound the stream asks the server to hold, sink included; the server may grant more.
static constexpr pa_usec_t kTargetLatencyUs = 40000;

// How often to ask the server for fresh timing. The library's own updates grow to 1.5 s
// apart and it extrapolates at the nominal rate in between; a server that resamples
// adaptively (pipewire-pulse) plays a little fast or slow for seconds at a time, which
// over 1.5 s adds up to several milliseconds.
static constexpr int64_t kTimingIntervalNs = 50000000;

// Longest wait for the server to report the stream playing before its reports are taken
// as they come.
static constexpr int64_t kStartLimitNs = 1000000000;

// Longest wait for the connection and the stream to be ready. A server can accept the
// connection and then never ready the stream (pipewire-pulse without a session manager);
// start-up must not wait for it for ever.
static constexpr pa_usec_t kOpenLimitUs = 2000000;

static const pa_sample_spec kSampleSpec = {PA_SAMPLE_S16NE, kStreamRate, kStreamChannels};

struct PulseOutput {
    PulseLibrary pa;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    OutputFeed feed = {};
    bool playing = false;  // fills are wanted
    bool written = false;  // something was written since the stream opened
    bool lostReported = false;
    int64_t playNs = 0;         // when playPulse last ran
    int64_t timingAskedNs = 0;  // when fresh timing was last asked for
    bool timingPending = false;
    bool startLimitPassed = false;
    bool openTimedOut = false;
};

static void reportLoss(PulseOutput* p) {
    if (p->playing && !p->lostReported) {
        p->lostReported = true;
        p->playing = false;
        p->feed.lost(p->feed.user);
    }
}

static void contextChanged(pa_context* context, void* user) {
    PulseOutput* p = static_cast<PulseOutput*>(user);
    const pa_context_state_t state = p->pa.pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) reportLoss(p);
    p->pa.pa_threaded_mainloop_signal(p->loop, 0);
}

static void streamChanged(pa_stream* stream, void* user) {
    PulseOutput* p = static_cast<PulseOutput*>(user);
    const pa_stream_state_t state = p->pa.pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) reportLoss(p);
    p->pa.pa_threaded_mainloop_signal(p->loop, 0);
}

// Sound queued in front of the next write, as the server last reported it and interpolated
// to now; unknown until a report taken while the server plays the stream. Before the
// stream starts the sink's latency stands for sound that is not there yet: taken as
// queued, it would hold the clock back by up to the whole latency at the start.
static int64_t queuedBytes(PulseOutput* p) {
    const pa_timing_info* timing = p->pa.pa_stream_get_timing_info(p->stream);
    if (!timing || timing->write_index_corrupt || timing->read_index_corrupt)
        return kLatencyUnknown;
    if (!timing->playing && !p->startLimitPassed) {
        if (monotonicNs() - p->playNs < kStartLimitNs) return kLatencyUnknown;
        p->startLimitPassed = true;  // a server that never says it plays: trust it anyway
    }
    pa_stream* stream = p->stream;
    pa_usec_t usec = 0;
    int negative = 0;
    if (p->pa.pa_stream_get_latency(stream, &usec, &negative) != 0) return kLatencyUnknown;
    const int64_t bytes = std::llround(double(usec) * double(kMusicBytesPerSecond) / 1e6);
    return negative ? -bytes : bytes;
}

static void timingArrived(pa_stream*, int, void* user) {
    static_cast<PulseOutput*>(user)->timingPending = false;
}

static void askForTiming(PulseOutput* p) {
    const int64_t now = monotonicNs();
    if (p->timingPending || now - p->timingAskedNs < kTimingIntervalNs) return;
    pa_operation* operation = p->pa.pa_stream_update_timing_info(p->stream, timingArrived, p);
    if (!operation) return;
    p->pa.pa_operation_unref(operation);
    p->timingPending = true;
    p->timingAskedNs = now;
}

// Writes up to `bytes` of freshly filled sound, in the pieces the library lends.
static void writeSound(PulseOutput* p, size_t bytes) {
    bytes &= ~size_t(3);
    if (p->playing) askForTiming(p);
    while (p->playing && bytes > 0) {
        void* data = nullptr;
        size_t size = bytes;
        if (p->pa.pa_stream_begin_write(p->stream, &data, &size) < 0 || !data) return;
        size = std::min(size, bytes) & ~size_t(3);
        if (size == 0) {
            p->pa.pa_stream_cancel_write(p->stream);
            return;
        }
        const int64_t queued = queuedBytes(p);
        p->feed.fill(p->feed.user, static_cast<uint8_t*>(data), size, monotonicNs(), queued);
        if (p->pa.pa_stream_write(p->stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
        p->written = true;
        bytes -= size;
    }
}

static void writeRequested(pa_stream*, size_t bytes, void* user) {
    writeSound(static_cast<PulseOutput*>(user), bytes);
}

static void openLimitPassed(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user) {
    PulseOutput* p = static_cast<PulseOutput*>(user);
    p->openTimedOut = true;
    p->pa.pa_threaded_mainloop_signal(p->loop, 0);
}

// Waits, with the lock held, until the context is ready; false when it failed or the
// open limit passed.
static bool waitForContext(PulseOutput* p) {
    for (;;) {
        const pa_context_state_t state = p->pa.pa_context_get_state(p->context);
        if (state == PA_CONTEXT_READY) return true;
        if (!PA_CONTEXT_IS_GOOD(state) || p->openTimedOut) return false;
        p->pa.pa_threaded_mainloop_wait(p->loop);
    }
}

static bool waitForStream(PulseOutput* p) {
    for (;;) {
        const pa_stream_state_t state = p->pa.pa_stream_get_state(p->stream);
        if (state == PA_STREAM_READY) return true;
        if (!PA_STREAM_IS_GOOD(state) || p->openTimedOut) return false;
        p->pa.pa_threaded_mainloop_wait(p->loop);
    }
}

static bool openStream(PulseOutput* p) {
    p->stream = p->pa.pa_stream_new(p->context, "music", &kSampleSpec, nullptr);
    if (!p->stream) return false;
    p->pa.pa_stream_set_state_callback(p->stream, streamChanged, p);
    p->pa.pa_stream_set_write_callback(p->stream, writeRequested, p);
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(p->pa.pa_usec_to_bytes(kTargetLatencyUs, &kSampleSpec));
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    const pa_stream_flags_t flags =
        pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                          PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED);
    return p->pa.pa_stream_connect_playback(p->stream, nullptr, &attr, flags, nullptr, nullptr) ==
               0 &&
           waitForStream(p);
}

static void closePulse(void* output);

// Connects to the default server without starting one, and opens a playback stream that
// stays silent until playPulse. Null with reason set (the server's own error text) when
// libpulse cannot be loaded, no server answers or the stream cannot be opened.
static void* openPulse(const OutputFeed& feed, bool&, std::string& reason) {
    PulseOutput* p = new PulseOutput;
    p->feed = feed;
    if (!LOAD_LIBRARY_TABLE("libpulse.so.0", PULSE_FUNCTIONS, p->pa, reason)) {
        delete p;
        return nullptr;
    }
    p->loop = p->pa.pa_threaded_mainloop_new();
    if (p->loop)
        p->context = p->pa.pa_context_new(p->pa.pa_threaded_mainloop_get_api(p->loop), "intro");
    if (!p->context) {
        reason = "cannot set up a connection";
        closePulse(p);
        return nullptr;
    }
    p->pa.pa_context_set_state_callback(p->context, contextChanged, p);
    if (p->pa.pa_context_connect(p->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        reason = p->pa.pa_strerror(p->pa.pa_context_errno(p->context));
        closePulse(p);
        return nullptr;
    }
    p->pa.pa_threaded_mainloop_lock(p->loop);
    pa_time_event* limit = p->pa.pa_context_rttime_new(
        p->context, p->pa.pa_rtclock_now() + kOpenLimitUs, openLimitPassed, p);
    bool ok = limit && p->pa.pa_threaded_mainloop_start(p->loop) == 0;
    ok = ok && waitForContext(p) && openStream(p);
    if (!ok)
        reason = p->openTimedOut ? "the server did not open the stream within 2 s"
                                 : p->pa.pa_strerror(p->pa.pa_context_errno(p->context));
    if (limit) p->pa.pa_threaded_mainloop_get_api(p->loop)->time_free(limit);
    p->pa.pa_threaded_mainloop_unlock(p->loop);
    if (!ok) {
        closePulse(p);
        return nullptr;
    }
    return p;
}

static void lockPulse(void* output) {
    PulseOutput* p = static_cast<PulseOutput*>(output);
    p->pa.pa_threaded_mainloop_lock(p->loop);
}

static void unlockPulse(void* output) {
    PulseOutput* p = static_cast<PulseOutput*>(output);
    p->pa.pa_threaded_mainloop_unlock(p->loop);
}

static void forget(PulseOutput* p, pa_operation* operation) {
    if (operation) p->pa.pa_operation_unref(operation);
}

static bool playPulse(void* output) {
    PulseOutput* p = static_cast<PulseOutput*>(output);
    if (p->lostReported || p->pa.pa_stream_get_state(p->stream) != PA_STREAM_READY) return false;
    if (p->written) forget(p, p->pa.pa_stream_flush(p->stream, nullptr, nullptr));
    p->playing = true;
    p->playNs = monotonicNs();
    p->startLimitPassed = false;
    forget(p, p->pa.pa_stream_cork(p->stream, 0, nullptr, nullptr));
    const size_t writable = p->pa.pa_stream_writable_size(p->stream);
    if (writable != size_t(-1)) writeSound(p, writable);
    return true;
}

static void closePulse(void* output) {
    PulseOutput* p = static_cast<PulseOutput*>(output);
    if (p->loop) p->pa.pa_threaded_mainloop_stop(p->loop);
    if (p->stream) {
        p->pa.pa_stream_set_state_callback(p->stream, nullptr, nullptr);
        p->pa.pa_stream_set_write_callback(p->stream, nullptr, nullptr);
        p->pa.pa_stream_disconnect(p->stream);
        p->pa.pa_stream_unref(p->stream);
    }
    if (p->context) {
        p->pa.pa_context_set_state_callback(p->context, nullptr, nullptr);
        p->pa.pa_context_disconnect(p->context);
        p->pa.pa_context_unref(p->context);
    }
    if (p->loop) p->pa.pa_threaded_mainloop_free(p->loop);
    delete p;
}

const AudioOutput kPulseOutput = {"pulse",     "sound server", openPulse, lockPulse,
                                  unlockPulse, playPulse,      closePulse};
