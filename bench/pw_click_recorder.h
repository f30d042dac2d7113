#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Records a sink's monitor through PipeWire's own stream interface, as 44.1 kHz stereo,
// and notes from the graph's timing (pw_stream_get_time_n) the monotonic time at which
// each recorded sample left the sink. A reference that does not pass through the pulse
// protocol's translation of PipeWire's timing, for measuring clocks on pipewire-pulse.
struct PwClickRecorder;

// Starts recording the monitor of `sink` (null: the default sink). Null with reason set
// on failure.
PwClickRecorder* startPwClickRecorder(const char* sink, std::string& reason);

// As stopClickRecorder (click_recorder.h).
std::vector<int64_t> stopPwClickRecorder(PwClickRecorder* recorder, double& mappingJitterMs);
