#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Records a source of the sound server (a null sink's monitor) as 44.1 kHz stereo and
// notes, from the server's own timing (pa_stream_get_time), the monotonic time at which
// each recorded sample left the sink.
struct ClickRecorder;

// Starts recording `source` (null: the default source) in fragments of `fragmentMs`: the
// server's timing reports come that often. Null with reason set on failure.
ClickRecorder* startClickRecorder(const char* source, int fragmentMs, std::string& reason);

// Stops recording and returns the monotonic nanoseconds (std::chrono::steady_clock) at
// which each click onset in the recording left the sink; `mappingJitterMs` is the largest
// distance of a timing report near a click from the time the reports agree on.
std::vector<int64_t> stopClickRecorder(ClickRecorder* recorder, double& mappingJitterMs);
