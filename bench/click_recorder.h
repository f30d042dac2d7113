#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Records a source of the sound server (a null sink's monitor) as 44.1 kHz stereo and
// notes, from the server's own timing (pa_stream_get_time), the monotonic time at which
// each recorded sample left the sink.
struct ClickRecorder;

// Whether the recorder asks the server for a latency as short as its fragments. On a
// monitor that request lowers the monitored sink's own latency too; without it the sink
// runs as it would for the player alone.
enum class RecorderLatency { asked, notAsked };

// Starts recording `source` (null: the default source) in fragments of `fragmentMs`: the
// server's timing reports come that often. Null with reason set on failure.
ClickRecorder* startClickRecorder(const char* source, int fragmentMs, std::string& reason,
                                  RecorderLatency latency = RecorderLatency::asked);

// The monitored sink's latency over the recording, as the server reported it with each
// fragment (0 reports when the source is no monitor).
struct SinkLatencyLog {
    int reports = 0;
    double lowMs = 0, highMs = 0, meanMs = 0;
};

// Stops recording and returns the monotonic nanoseconds (std::chrono::steady_clock) at
// which each click onset in the recording left the sink; `mappingJitterMs` is the largest
// distance of a timing report near a click from the time the reports agree on; `sink`,
// when given, gets the sink's latency over the recording.
std::vector<int64_t> stopClickRecorder(ClickRecorder* recorder, double& mappingJitterMs,
                                       SinkLatencyLog* sink = nullptr);
