#include "audio/output_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const AudioOutput* const Pipewire = &kPipewireOutput;
const AudioOutput* const Pulse = &kPulseOutput;
const AudioOutput* const Sdl = &kSdlOutput;
const AudioOutput* const Silent = &kSilentOutput;

struct PlanCase {
    const char* introAudio;  // null: unset
    std::vector<const AudioOutput*> order;
    bool warns;
};

}  // namespace

// INTRO_AUDIO as a table: unset or empty tries PipeWire's own interface, the pulse
// protocol, SDL, then silence; each name forces its output with only the silent clock
// behind it; anything else warns and is ignored.
TEST(OutputChoice, PlanFollowsIntroAudio) {
    const std::vector<const AudioOutput*> usual = {Pipewire, Pulse, Sdl, Silent};
    const PlanCase cases[] = {
        {nullptr, usual, false},
        {"", usual, false},
        {"pipewire", {Pipewire, Silent}, false},
        {"pulse", {Pulse, Silent}, false},
        {"sdl", {Sdl, Silent}, false},
        {"none", {Silent}, false},
        {"alsa", usual, true},
        {"PULSE", usual, true},
        {"pulse ", usual, true},
    };
    for (const PlanCase& c : cases) {
        const std::string name = c.introAudio ? c.introAudio : "(unset)";
        const OutputPlan plan = planOutputs(c.introAudio);
        EXPECT_EQ(plan.order, c.order) << name;
        EXPECT_EQ(!plan.warning.empty(), c.warns) << name;
        // Forced: a name was given and taken.
        EXPECT_EQ(plan.forced, c.introAudio && *c.introAudio && !c.warns) << name;
    }
    EXPECT_EQ(
        planOutputs("alsa").warning,
        "audio: INTRO_AUDIO=alsa is not one of pipewire, pulse, sdl, none; choosing the output "
        "as usual");
}

// The first choice plays without a word; a fallback says what failed and what plays, on one
// line; the silent clock's line keeps the wording scripts look for.
TEST(OutputChoice, NoticeOnlyWhenNotTheFirstChoice) {
    EXPECT_EQ(outputNotice({}, *Pulse), "");
    EXPECT_EQ(outputNotice({}, *Sdl), "");
    EXPECT_EQ(outputNotice({}, *Silent), "");
    EXPECT_EQ(outputNotice({{Pulse, "Connection refused"}}, *Sdl),
              "audio: no sound server (Connection refused); playing through SDL audio");
    EXPECT_EQ(outputNotice({{Pulse, "Connection refused"}, {Sdl, "No such device"}}, *Silent),
              "audio: no output device (sound server: Connection refused; SDL audio: No such "
              "device); playing on a silent clock");
    EXPECT_EQ(outputNotice({{Pipewire, "the stream was disconnected"}}, *Pulse),
              "audio: no PipeWire (the stream was disconnected); playing through sound server");
    EXPECT_EQ(outputNotice({{Sdl, "Audio target 'x' not available"}}, *Silent),
              "audio: no output device (SDL audio: Audio target 'x' not available); playing on "
              "a silent clock");
}
