#include "pw_click_recorder.h"

#include "click_timing.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

struct PwClickRecorder {
    pw_thread_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    spa_hook listener = {};
    std::vector<int16_t> samples;
    std::vector<TimingPoint> timing;
    bool failed = false;
};

// A sink's monitor is read by the graph's next cycle: each cycle's buffer holds what the
// sink took in the cycle before, so the buffer ends at the time `now` of this cycle, less
// the delay the graph reports between sink and stream; the resampler holds `buffered`
// frames of the stream back. (Measured with click_sync.sh: at a quantum of 256 and of 1024
// frames, a stream played in the graph's own thread arrives here exactly one cycle later.)
static void process(void* user) {
    PwClickRecorder* r = static_cast<PwClickRecorder*>(user);
    pw_buffer* b = pw_stream_dequeue_buffer(r->stream);
    if (!b) return;
    const spa_data& d = b->buffer->datas[0];
    pw_time t = {};
    const bool timed =
        pw_stream_get_time_n(r->stream, &t, sizeof t) == 0 && t.rate.denom > 0 && t.now > 0;
    const size_t at = r->samples.size();
    const uint32_t offset = std::min(d.chunk->offset, d.maxsize);
    const uint32_t bytes = std::min(d.chunk->size, d.maxsize - offset);
    const size_t frames = bytes / 4;
    if (timed) {
        const double graphDelayNs = double(t.delay) * 1e9 * t.rate.num / t.rate.denom;
        r->timing.push_back(
            {double(at / 2 + frames) + double(t.buffered), double(t.now) - graphDelayNs});
    }
    r->samples.resize(at + frames * 2, 0);
    if (d.data)
        std::memcpy(r->samples.data() + at, static_cast<uint8_t*>(d.data) + offset, frames * 4);
    pw_stream_queue_buffer(r->stream, b);
}

static void stateChanged(void* user, pw_stream_state, pw_stream_state state, const char*) {
    PwClickRecorder* r = static_cast<PwClickRecorder*>(user);
    if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_STREAMING) {
        r->failed = state == PW_STREAM_STATE_ERROR;
        pw_thread_loop_signal(r->loop, false);
    }
}

static const pw_stream_events kEvents = [] {
    pw_stream_events e = {};
    e.version = PW_VERSION_STREAM_EVENTS;
    e.state_changed = stateChanged;
    e.process = process;
    return e;
}();

PwClickRecorder* startPwClickRecorder(const char* sink, std::string& reason) {
    pw_init(nullptr, nullptr);
    PwClickRecorder* r = new PwClickRecorder;
    r->loop = pw_thread_loop_new("click-recorder", nullptr);
    pw_properties* props =
        pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture",
                          PW_KEY_STREAM_CAPTURE_SINK, "true", nullptr);
    if (sink) pw_properties_set(props, PW_KEY_TARGET_OBJECT, sink);
    r->stream = pw_stream_new_simple(pw_thread_loop_get_loop(r->loop), "click recording", props,
                                     &kEvents, r);
    uint8_t podBytes[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(podBytes, sizeof podBytes);
    spa_audio_info_raw info = {};
    info.format = SPA_AUDIO_FORMAT_S16;
    info.rate = 44100;
    info.channels = 2;
    const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    pw_thread_loop_lock(r->loop);
    bool ok =
        pw_thread_loop_start(r->loop) == 0 &&
        pw_stream_connect(r->stream, PW_DIRECTION_INPUT, PW_ID_ANY,
                          pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS),
                          params, 1) == 0;
    while (ok && !r->failed &&
           pw_stream_get_state(r->stream, nullptr) != PW_STREAM_STATE_STREAMING) {
        timespec until;
        pw_thread_loop_get_time(r->loop, &until, int64_t(5e9));
        if (pw_thread_loop_timed_wait_full(r->loop, &until) != 0) break;
    }
    const char* error = nullptr;
    ok = ok && pw_stream_get_state(r->stream, &error) == PW_STREAM_STATE_STREAMING;
    pw_thread_loop_unlock(r->loop);
    if (!ok) {
        reason = error ? error : "the stream did not start within 5 s";
        double ignored = 0;
        stopPwClickRecorder(r, ignored);
        return nullptr;
    }
    return r;
}

std::vector<int64_t> stopPwClickRecorder(PwClickRecorder* r, double& mappingJitterMs) {
    pw_thread_loop_stop(r->loop);
    pw_stream_destroy(r->stream);
    pw_thread_loop_destroy(r->loop);
    std::vector<int64_t> times = clickLeaveTimes(r->samples, r->timing, mappingJitterMs);
    delete r;
    return times;
}
