#include "click_recorder.h"

#include "click_timing.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cstring>

static const pa_sample_spec kSpec = {PA_SAMPLE_S16NE, 44100, 2};

struct ClickRecorder {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::vector<int16_t> samples;
    std::vector<TimingPoint> timing;
    SinkLatencyLog sink;
    double sinkSumMs = 0;
};

static void noteSinkLatency(ClickRecorder* r, const pa_timing_info* info) {
    if (!info) return;
    const double ms = double(info->sink_usec) / 1000;
    SinkLatencyLog& s = r->sink;
    s.lowMs = s.reports ? std::min(s.lowMs, ms) : ms;
    s.highMs = s.reports ? std::max(s.highMs, ms) : ms;
    r->sinkSumMs += ms;
    s.meanMs = r->sinkSumMs / ++s.reports;
}

static int64_t nowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

static void signalLoop(pa_context*, void* user) {
    pa_threaded_mainloop_signal(static_cast<ClickRecorder*>(user)->loop, 0);
}

static void streamChanged(pa_stream*, void* user) {
    pa_threaded_mainloop_signal(static_cast<ClickRecorder*>(user)->loop, 0);
}

// Takes every fragment, and with it where the server says the capture stands right now.
static void readable(pa_stream* stream, size_t, void* user) {
    ClickRecorder* r = static_cast<ClickRecorder*>(user);
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 &&
           bytes > 0) {
        const int64_t now = nowNs();
        pa_usec_t capturedUs = 0;
        if (pa_stream_get_time(stream, &capturedUs) == 0) {
            // The sample captured right now has stream time capturedUs.
            const double frameNow = double(capturedUs) * 44100.0 / 1e6;
            r->timing.push_back({frameNow, double(now)});
            noteSinkLatency(r, pa_stream_get_timing_info(stream));
        }
        const size_t frames = bytes / 4;
        const size_t at = r->samples.size();
        r->samples.resize(at + frames * 2, 0);  // a hole (data null) counts as silence
        if (data) std::memcpy(r->samples.data() + at, data, frames * 4);
        pa_stream_drop(stream);
    }
}

static void fail(ClickRecorder* r, std::string& reason) {
    if (reason.empty()) reason = pa_strerror(pa_context_errno(r->context));
    double ignored = 0;
    stopClickRecorder(r, ignored);
}

ClickRecorder* startClickRecorder(const char* source, int fragmentMs, std::string& reason,
                                  RecorderLatency latency) {
    ClickRecorder* r = new ClickRecorder;
    r->loop = pa_threaded_mainloop_new();
    r->context = pa_context_new(pa_threaded_mainloop_get_api(r->loop), "click-recorder");
    pa_context_set_state_callback(r->context, signalLoop, r);
    if (pa_context_connect(r->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        fail(r, reason);
        return nullptr;
    }
    pa_threaded_mainloop_lock(r->loop);
    pa_threaded_mainloop_start(r->loop);
    while (PA_CONTEXT_IS_GOOD(pa_context_get_state(r->context)) &&
           pa_context_get_state(r->context) != PA_CONTEXT_READY)
        pa_threaded_mainloop_wait(r->loop);
    bool ok = pa_context_get_state(r->context) == PA_CONTEXT_READY;
    if (ok) {
        r->stream = pa_stream_new(r->context, "click recording", &kSpec, nullptr);
        pa_stream_set_state_callback(r->stream, streamChanged, r);
        pa_stream_set_read_callback(r->stream, readable, r);
        pa_buffer_attr attr;
        std::memset(&attr, 0xff, sizeof attr);
        attr.fragsize = uint32_t(pa_usec_to_bytes(pa_usec_t(fragmentMs) * 1000, &kSpec));
        pa_stream_flags_t flags =
            pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
        if (latency == RecorderLatency::asked)
            flags = pa_stream_flags_t(flags | PA_STREAM_ADJUST_LATENCY);
        ok = pa_stream_connect_record(r->stream, source, &attr, flags) == 0;
        while (ok && pa_stream_get_state(r->stream) != PA_STREAM_READY) {
            if (!PA_STREAM_IS_GOOD(pa_stream_get_state(r->stream)))
                ok = false;
            else
                pa_threaded_mainloop_wait(r->loop);
        }
    }
    pa_threaded_mainloop_unlock(r->loop);
    if (!ok) {
        fail(r, reason);
        return nullptr;
    }
    return r;
}

std::vector<int64_t> stopClickRecorder(ClickRecorder* r, double& mappingJitterMs,
                                       SinkLatencyLog* sink) {
    if (r->loop) pa_threaded_mainloop_stop(r->loop);
    if (r->stream) {
        pa_stream_disconnect(r->stream);
        pa_stream_unref(r->stream);
    }
    if (r->context) {
        pa_context_disconnect(r->context);
        pa_context_unref(r->context);
    }
    if (r->loop) pa_threaded_mainloop_free(r->loop);
    std::vector<int64_t> times = clickLeaveTimes(r->samples, r->timing, mappingJitterMs);
    if (sink) *sink = r->sink;
    delete r;
    return times;
}
