#include "audio/output_choice.h"

#include <iterator>

// Every output, in the order they are tried; the silent clock last.
#if defined(_WIN32)
static const AudioOutput* const kOutputs[] = {&kWasapiOutput, &kSilentOutput};
#else
static const AudioOutput* const kOutputs[] = {&kPipewireOutput, &kPulseOutput, &kSdlOutput,
                                              &kSilentOutput};
#endif

OutputPlan planOutputs(const char* introAudio) {
    OutputPlan plan;
    const std::string value = introAudio ? introAudio : "";
    std::string names;
    for (const AudioOutput* output : kOutputs) {
        if (value == output->name) {
            plan.order = {output};
            plan.forced = true;
            if (output != &kSilentOutput) plan.order.push_back(&kSilentOutput);
            return plan;
        }
        names += names.empty() ? output->name : std::string(", ") + output->name;
    }
    plan.order.assign(std::begin(kOutputs), std::end(kOutputs));
    if (!value.empty())
        plan.warning = "audio: INTRO_AUDIO=" + value + " is not one of " + names +
                       "; choosing the output as usual";
    return plan;
}

std::string outputNotice(const std::vector<OutputFailure>& failures, const AudioOutput& playing) {
    if (failures.empty()) return "";
    std::string reasons;
    for (const OutputFailure& failure : failures) {
        if (!reasons.empty()) reasons += "; ";
        reasons += std::string(failure.output->label) + ": " + failure.reason;
    }
    if (&playing == &kSilentOutput)
        return "audio: no output device (" + reasons + "); playing on a silent clock";
    // Only the sound server's interfaces come before another device; say what they answered.
    std::string missing;
    for (const OutputFailure& failure : failures) {
        if (!missing.empty()) missing += "; ";
        missing += std::string("no ") + failure.output->label + " (" + failure.reason + ")";
    }
    return "audio: " + missing + "; playing through " + playing.label;
}
