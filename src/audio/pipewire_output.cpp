// PipeWire's own stream interface. The graph's timing of every cycle (the delay to the
// device, the sound queued in the stream and held in its resampler) gives the sound in
// front of each fill to the sample, which the pulse protocol's translation of it does not:
// pipewire-pulse reports one graph cycle less than it holds, so a clock built on it runs
// that much early. libpipewire is loaded when the output opens: without it the next output
// plays.
#include "audio/music_clock.h"
#include "audio/output_choice.h"
#include "audio/shared_library.h"
#include "audio/stream.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

// Every function of libpipewire-0.3.so.0 this output calls; the rest (loop timers,
// listeners, the format) are inline in the headers.
#define PIPEWIRE_FUNCTIONS(F)         \
    F(pw_context_connect)             \
    F(pw_context_destroy)             \
    F(pw_context_new)                 \
    F(pw_core_disconnect)             \
    F(pw_init)                        \
    F(pw_properties_new)              \
    F(pw_stream_add_listener)         \
    F(pw_stream_connect)              \
    F(pw_stream_dequeue_buffer)       \
    F(pw_stream_destroy)              \
    F(pw_stream_flush)                \
    F(pw_stream_get_state)            \
    F(pw_stream_get_time_n)           \
    F(pw_stream_new)                  \
    F(pw_stream_queue_buffer)         \
    F(pw_stream_set_active)           \
    F(pw_thread_loop_destroy)         \
    F(pw_thread_loop_get_loop)        \
    F(pw_thread_loop_get_time)        \
    F(pw_thread_loop_lock)            \
    F(pw_thread_loop_new)             \
    F(pw_thread_loop_signal)          \
    F(pw_thread_loop_start)           \
    F(pw_thread_loop_stop)            \
    F(pw_thread_loop_timed_wait_full) \
    F(pw_thread_loop_unlock)

struct PipewireLibrary {
    PIPEWIRE_FUNCTIONS(LIBRARY_FUNCTION)
};

// Sound the graph asks of the stream per cycle: about 11.6 ms at 44.1 kHz, so that with
// the cycle written ahead and the device about as much is held as the pulse output asks for.
static constexpr uint64_t kNodeFrames = 512;
static const char kNodeLatency[] = "512/44100";  // kNodeFrames at kStreamRate

// Longest wait for the stream to connect, and for the daemon to answer at all.
static constexpr int64_t kConnectLimitNs = 2000000000;

// Longest wait, once playing, for the graph's first cycle. Without a session manager, or
// with nothing to play on, the stream is never linked and never asked for sound; the
// clock would wait at 0 for ever, and the show with it.
static constexpr int64_t kFirstCycleLimitNs = 1000000000;

struct PipewireOutput {
    PipewireLibrary pw;
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_stream* stream = nullptr;
    spa_hook coreListener = {};
    spa_hook streamListener = {};
    OutputFeed feed = {};
    spa_source* firstCycleTimer = nullptr;
    bool playing = false;  // fills are wanted
    bool cycled = false;   // the graph has asked for sound since playing began
    bool lostReported = false;
    bool failed = false;  // the stream or the connection reported an error
    std::string error;
};

// The daemon's socket as the library looks for it: PIPEWIRE_REMOTE (a name or a path),
// else "pipewire-0", in PIPEWIRE_RUNTIME_DIR, XDG_RUNTIME_DIR or USERPROFILE. Empty when
// no folder is known.
static std::string socketPath() {
    const char* remote = std::getenv("PIPEWIRE_REMOTE");
    const std::string name = remote && *remote ? remote : "pipewire-0";
    if (name[0] == '/') return name;
    for (const char* variable : {"PIPEWIRE_RUNTIME_DIR", "XDG_RUNTIME_DIR", "USERPROFILE"}) {
        const char* folder = std::getenv(variable);
        if (folder && *folder) return std::string(folder) + "/" + name;
    }
    return "";
}

static void reportLoss(PipewireOutput* p) {
    if (p->playing && !p->lostReported) {
        p->lostReported = true;
        p->playing = false;
        p->feed.lost(p->feed.user);
    }
}

static void coreError(void* user, uint32_t id, int, int result, const char* message) {
    PipewireOutput* p = static_cast<PipewireOutput*>(user);
    // Only the connection's own errors end the output; others concern single requests.
    if (id != PW_ID_CORE) return;
    p->failed = true;
    p->error = message && *message ? message : std::strerror(-result);
    reportLoss(p);
    p->pw.pw_thread_loop_signal(p->loop, false);
}

static void streamChanged(void* user, pw_stream_state, pw_stream_state state, const char* error) {
    PipewireOutput* p = static_cast<PipewireOutput*>(user);
    if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) {
        p->failed = true;
        if (p->error.empty()) p->error = error && *error ? error : "the stream was disconnected";
        reportLoss(p);
    }
    p->pw.pw_thread_loop_signal(p->loop, false);
}

// Sound queued in front of the first of `frames` about to be written, at nowNs. The fill
// runs on the loop's thread after the graph's cycle has begun, so what it writes is taken
// in the next cycle, one cycle's worth (`frames`, what the graph asks for) after the
// sound of the current one; in front of that lie the graph's delay to the device as of
// the cycle's start, less the time since, and what waits in the stream's buffers and its
// resampler. Unknown until the graph has run a cycle.
static int64_t queuedBytes(PipewireOutput* p, uint64_t frames, int64_t nowNs) {
    pw_time t = {};
    if (p->pw.pw_stream_get_time_n(p->stream, &t, sizeof t) != 0 || t.now <= 0 || t.rate.denom == 0)
        return kLatencyUnknown;
    const double delaySeconds = double(t.delay) * double(t.rate.num) / double(t.rate.denom);
    const double sinceSeconds = double(nowNs - t.now) / 1e9;
    const double waitingFrames =
        double(frames) + double(t.queued) / kStreamBytesPerFrame + double(t.buffered);
    return std::llround((delaySeconds - sinceSeconds) * double(kMusicBytesPerSecond) +
                        waitingFrames * kStreamBytesPerFrame);
}

static void process(void* user) {
    PipewireOutput* p = static_cast<PipewireOutput*>(user);
    pw_buffer* b = p->pw.pw_stream_dequeue_buffer(p->stream);
    if (!b) return;
    spa_data& d = b->buffer->datas[0];
    if (!d.data) {
        p->pw.pw_stream_queue_buffer(p->stream, b);
        return;
    }
    // What the graph asks for each cycle; without its word, the latency asked for.
    const uint64_t frames = std::min<uint64_t>(d.maxsize / kStreamBytesPerFrame,
                                               b->requested ? b->requested : kNodeFrames);
    const uint64_t bytes = frames * kStreamBytesPerFrame;
    uint8_t* out = static_cast<uint8_t*>(d.data);
    p->cycled = true;
    if (p->playing) {
        const int64_t now = monotonicNs();
        p->feed.fill(p->feed.user, out, size_t(bytes), now, queuedBytes(p, frames, now));
    } else
        std::memset(out, 0, size_t(bytes));
    d.chunk->offset = 0;
    d.chunk->stride = kStreamBytesPerFrame;
    d.chunk->size = uint32_t(bytes);
    p->pw.pw_stream_queue_buffer(p->stream, b);
}

static const pw_core_events kCoreEvents = [] {
    pw_core_events e = {};
    e.version = PW_VERSION_CORE_EVENTS;
    e.error = coreError;
    return e;
}();

static const pw_stream_events kStreamEvents = [] {
    pw_stream_events e = {};
    e.version = PW_VERSION_STREAM_EVENTS;
    e.state_changed = streamChanged;
    e.process = process;
    return e;
}();

static void firstCycleDue(void* user, uint64_t) {
    PipewireOutput* p = static_cast<PipewireOutput*>(user);
    if (p->playing && !p->cycled) reportLoss(p);
}

// Waits, with the lock held, until the stream has a format and waits for play (paused),
// or fails; false when it failed or the daemon did not answer in time.
static bool waitForStream(PipewireOutput* p) {
    timespec until;
    p->pw.pw_thread_loop_get_time(p->loop, &until, kConnectLimitNs);
    for (;;) {
        if (p->failed) return false;
        const pw_stream_state state = p->pw.pw_stream_get_state(p->stream, nullptr);
        if (state == PW_STREAM_STATE_PAUSED || state == PW_STREAM_STATE_STREAMING) return true;
        if (p->pw.pw_thread_loop_timed_wait_full(p->loop, &until) != 0) {
            p->error = "the daemon did not open the stream within 2 s";
            return false;
        }
    }
}

static bool openStream(PipewireOutput* p) {
    pw_properties* props = p->pw.pw_properties_new(
        PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_ROLE, "Music",
        PW_KEY_APP_NAME, "intro", PW_KEY_NODE_LATENCY, kNodeLatency, nullptr);
    p->stream = p->pw.pw_stream_new(p->core, "music", props);
    if (!p->stream) {
        p->error = std::strerror(errno);
        return false;
    }
    p->pw.pw_stream_add_listener(p->stream, &p->streamListener, &kStreamEvents, p);
    uint8_t podBytes[512];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(podBytes, sizeof podBytes);
    spa_audio_info_raw info = {};
    info.format = SPA_AUDIO_FORMAT_S16;
    info.rate = kStreamRate;
    info.channels = kStreamChannels;
    info.position[0] = SPA_AUDIO_CHANNEL_FL;
    info.position[1] = SPA_AUDIO_CHANNEL_FR;
    const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    const pw_stream_flags flags = pw_stream_flags(
        PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_INACTIVE);
    const int result =
        p->pw.pw_stream_connect(p->stream, PW_DIRECTION_OUTPUT, PW_ID_ANY, flags, params, 1);
    if (result < 0) {
        p->error = std::strerror(-result);
        return false;
    }
    return waitForStream(p);
}

static void closePipewire(void* output);

// Connects to the running PipeWire daemon and opens a playback stream that stays silent
// until playPipewire. Null with reason set when no daemon runs (absent is set too: there
// is no socket to connect to, which is no failure on a system without PipeWire),
// libpipewire cannot be loaded, or the stream cannot be opened.
static void* openPipewire(const OutputFeed& feed, bool& absent, std::string& reason) {
    // Without the daemon's socket there is nothing to connect to; the library's set-up
    // (configuration, modules) is not worth its milliseconds of start-up then.
    const std::string socket = socketPath();
    struct stat status;
    absent = socket.empty() || stat(socket.c_str(), &status) != 0;
    if (absent) {
        reason = "no PipeWire daemon";
        return nullptr;
    }
    PipewireOutput* p = new PipewireOutput;
    p->feed = feed;
    if (!LOAD_LIBRARY_TABLE("libpipewire-0.3.so.0", PIPEWIRE_FUNCTIONS, p->pw, reason)) {
        delete p;
        return nullptr;
    }
    p->pw.pw_init(nullptr, nullptr);
    p->loop = p->pw.pw_thread_loop_new("intro-audio", nullptr);
    if (p->loop)
        p->context = p->pw.pw_context_new(p->pw.pw_thread_loop_get_loop(p->loop), nullptr, 0);
    if (!p->context) {
        reason = "cannot set up PipeWire";
        closePipewire(p);
        return nullptr;
    }
    p->pw.pw_thread_loop_lock(p->loop);
    bool ok = p->pw.pw_thread_loop_start(p->loop) == 0;
    if (ok) {
        p->core = p->pw.pw_context_connect(p->context, nullptr, 0);
        if (!p->core) p->error = std::string("cannot connect: ") + std::strerror(errno);
        ok = p->core != nullptr;
    }
    if (ok) {
        pw_core_add_listener(p->core, &p->coreListener, &kCoreEvents, p);
        p->firstCycleTimer =
            pw_loop_add_timer(p->pw.pw_thread_loop_get_loop(p->loop), firstCycleDue, p);
        ok = p->firstCycleTimer && openStream(p);
    }
    if (!ok) reason = p->error.empty() ? "cannot open a stream" : p->error;
    p->pw.pw_thread_loop_unlock(p->loop);
    if (!ok) {
        closePipewire(p);
        return nullptr;
    }
    return p;
}

static void lockPipewire(void* output) {
    PipewireOutput* p = static_cast<PipewireOutput*>(output);
    p->pw.pw_thread_loop_lock(p->loop);
}

static void unlockPipewire(void* output) {
    PipewireOutput* p = static_cast<PipewireOutput*>(output);
    p->pw.pw_thread_loop_unlock(p->loop);
}

static bool playPipewire(void* output) {
    PipewireOutput* p = static_cast<PipewireOutput*>(output);
    if (p->lostReported || p->failed) return false;
    p->pw.pw_stream_flush(p->stream, false);
    p->playing = true;
    p->cycled = false;
    timespec limit = {kFirstCycleLimitNs / 1000000000, kFirstCycleLimitNs % 1000000000};
    pw_loop_update_timer(p->pw.pw_thread_loop_get_loop(p->loop), p->firstCycleTimer, &limit,
                         nullptr, false);
    return p->pw.pw_stream_set_active(p->stream, true) == 0;
}

static void closePipewire(void* output) {
    PipewireOutput* p = static_cast<PipewireOutput*>(output);
    if (p->loop) p->pw.pw_thread_loop_stop(p->loop);
    // Closing is no loss: the stream's last state changes must not report one.
    p->playing = false;
    p->lostReported = true;
    if (p->stream) {
        spa_hook_remove(&p->streamListener);
        p->pw.pw_stream_destroy(p->stream);
    }
    if (p->firstCycleTimer)
        pw_loop_destroy_source(p->pw.pw_thread_loop_get_loop(p->loop), p->firstCycleTimer);
    if (p->core) {
        spa_hook_remove(&p->coreListener);
        p->pw.pw_core_disconnect(p->core);
    }
    if (p->context) p->pw.pw_context_destroy(p->context);
    if (p->loop) p->pw.pw_thread_loop_destroy(p->loop);
    delete p;
}

const AudioOutput kPipewireOutput = {"pipewire",     "PipeWire",   openPipewire, lockPipewire,
                                     unlockPipewire, playPipewire, closePipewire};
