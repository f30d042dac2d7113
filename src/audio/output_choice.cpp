#include "audio/output_choice.h"

OutputPlan planOutputs(const char* introAudio) {
    OutputPlan plan;
    const std::string value = introAudio ? introAudio : "";
    if (value == "pipewire") {
        plan.order = {OutputKind::Pipewire, OutputKind::Silent};
    } else if (value == "pulse") {
        plan.order = {OutputKind::Pulse, OutputKind::Silent};
    } else if (value == "sdl") {
        plan.order = {OutputKind::Sdl, OutputKind::Silent};
    } else if (value == "none") {
        plan.order = {OutputKind::Silent};
    } else {
        plan.order = {OutputKind::Pipewire, OutputKind::Pulse, OutputKind::Sdl, OutputKind::Silent};
        if (!value.empty())
            plan.warning =
                "audio: INTRO_AUDIO=" + value +
                " is not one of pipewire, pulse, sdl, none; choosing the output as usual";
    }
    return plan;
}

static const char* kindName(OutputKind kind) {
    switch (kind) {
    case OutputKind::Pipewire: return "PipeWire";
    case OutputKind::Pulse: return "sound server";
    case OutputKind::Sdl: return "SDL audio";
    case OutputKind::Silent: break;
    }
    return "silent clock";
}

std::string outputNotice(const std::vector<OutputFailure>& failures, OutputKind playing) {
    if (failures.empty()) return "";
    std::string reasons;
    for (const OutputFailure& failure : failures) {
        if (!reasons.empty()) reasons += "; ";
        reasons += std::string(kindName(failure.kind)) + ": " + failure.reason;
    }
    if (playing == OutputKind::Silent)
        return "audio: no output device (" + reasons + "); playing on a silent clock";
    // Only the sound server's interfaces come before another device; say what they answered.
    std::string missing;
    for (const OutputFailure& failure : failures) {
        if (!missing.empty()) missing += "; ";
        missing += std::string("no ") + kindName(failure.kind) + " (" + failure.reason + ")";
    }
    return "audio: " + missing + "; playing through " + kindName(playing);
}
