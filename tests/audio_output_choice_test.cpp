#include "audio/output_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using K = OutputKind;

struct PlanCase {
    const char* introAudio;  // null: unset
    std::vector<K> order;
    bool warns;
};

}  // namespace

// INTRO_AUDIO as a table: unset or empty tries PipeWire's own interface, the pulse
// protocol, SDL, then silence; each name forces its output with only the silent clock
// behind it; anything else warns and is ignored.
TEST(OutputChoice, PlanFollowsIntroAudio) {
    const std::vector<K> usual = {K::Pipewire, K::Pulse, K::Sdl, K::Silent};
    const PlanCase cases[] = {
        {nullptr, usual, false},
        {"", usual, false},
        {"pipewire", {K::Pipewire, K::Silent}, false},
        {"pulse", {K::Pulse, K::Silent}, false},
        {"sdl", {K::Sdl, K::Silent}, false},
        {"none", {K::Silent}, false},
        {"alsa", usual, true},
        {"PULSE", usual, true},
        {"pulse ", usual, true},
    };
    for (const PlanCase& c : cases) {
        const std::string name = c.introAudio ? c.introAudio : "(unset)";
        const OutputPlan plan = planOutputs(c.introAudio);
        EXPECT_EQ(plan.order, c.order) << name;
        EXPECT_EQ(!plan.warning.empty(), c.warns) << name;
    }
    EXPECT_EQ(
        planOutputs("alsa").warning,
        "audio: INTRO_AUDIO=alsa is not one of pipewire, pulse, sdl, none; choosing the output "
        "as usual");
}

// The first choice plays without a word; a fallback says what failed and what plays, on one
// line; the silent clock's line keeps the wording scripts look for.
TEST(OutputChoice, NoticeOnlyWhenNotTheFirstChoice) {
    EXPECT_EQ(outputNotice({}, K::Pulse), "");
    EXPECT_EQ(outputNotice({}, K::Sdl), "");
    EXPECT_EQ(outputNotice({}, K::Silent), "");
    EXPECT_EQ(outputNotice({{K::Pulse, "Connection refused"}}, K::Sdl),
              "audio: no sound server (Connection refused); playing through SDL audio");
    EXPECT_EQ(
        outputNotice({{K::Pulse, "Connection refused"}, {K::Sdl, "No such device"}}, K::Silent),
        "audio: no output device (sound server: Connection refused; SDL audio: No such "
        "device); playing on a silent clock");
    EXPECT_EQ(outputNotice({{K::Pipewire, "the stream was disconnected"}}, K::Pulse),
              "audio: no PipeWire (the stream was disconnected); playing through sound server");
    EXPECT_EQ(outputNotice({{K::Sdl, "Audio target 'x' not available"}}, K::Silent),
              "audio: no output device (SDL audio: Audio target 'x' not available); playing on "
              "a silent clock");
}
