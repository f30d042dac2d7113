#pragma once
#include "audio/audio_output.h"

#include <string>
#include <vector>

// The outputs, each defined in its own file, in the order they are tried: PipeWire's own
// stream interface where PipeWire runs, the sound server through libpulse (PulseAudio, or
// pipewire-pulse when PipeWire's own interface fails), SDL audio (plain ALSA and other
// systems), and no device at all (a silent clock in real time), which cannot fail. On
// Windows: WASAPI, then the silent clock.
#if defined(_WIN32)
extern const AudioOutput kWasapiOutput;
#else
extern const AudioOutput kPipewireOutput;
extern const AudioOutput kPulseOutput;
extern const AudioOutput kSdlOutput;
#endif
extern const AudioOutput kSilentOutput;

// The outputs to try, in order; the last is always kSilentOutput.
struct OutputPlan {
    std::vector<const AudioOutput*> order;
    bool forced = false;  // INTRO_AUDIO named the first output
    std::string warning;  // a line for stderr about the setting itself; empty when none
};

// The plan for the value of INTRO_AUDIO (null or empty when unset): the name of an output
// ("pipewire", "pulse", "sdl" or "none"; "wasapi" or "none" on Windows) forces it, falling back
// only to the silent clock; anything else is reported and ignored.
OutputPlan planOutputs(const char* introAudio);

// An output that could not be opened, and the reason it gave. An output that is absent
// (a PipeWire that is not running at all: the pulse protocol serves PulseAudio then) is no
// failure and is not listed, unless it was asked for by name.
struct OutputFailure {
    const AudioOutput* output;
    std::string reason;
};

// The one stderr line that says which output plays, given the outputs tried before it
// failed; empty when the output is the plan's first choice.
std::string outputNotice(const std::vector<OutputFailure>& failures, const AudioOutput& playing);
