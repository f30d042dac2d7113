#pragma once
#include <string>
#include <vector>

// Which output plays the music: PipeWire's own stream interface where PipeWire runs, the
// sound server through libpulse (PulseAudio, or pipewire-pulse when PipeWire's own
// interface fails), SDL audio (plain ALSA and other systems), or no device at all (a
// silent clock in real time).
enum class OutputKind { Pipewire, Pulse, Sdl, Silent };

// The outputs to try, in order; the last is always Silent, which cannot fail.
struct OutputPlan {
    std::vector<OutputKind> order;
    std::string warning;  // a line for stderr about the setting itself; empty when none
};

// The plan for the value of INTRO_AUDIO (null or empty when unset): "pipewire", "pulse",
// "sdl" or "none" forces that output (falling back only to the silent clock); anything else is
// reported and ignored.
OutputPlan planOutputs(const char* introAudio);

// An output that could not be opened, and the reason it gave. A PipeWire that is not
// running at all is no failure (the pulse protocol serves PulseAudio then) and is not
// listed.
struct OutputFailure {
    OutputKind kind;
    std::string reason;
};

// The one stderr line that says which output plays, given the outputs tried before it
// failed; empty when the output is the plan's first choice.
std::string outputNotice(const std::vector<OutputFailure>& failures, OutputKind playing);
