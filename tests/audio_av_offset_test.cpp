#include "audio/av_offset.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct OffsetCase {
    const char* value;  // null: unset
    double seconds;
    bool warns;
};

}  // namespace

// INTRO_AV_OFFSET_MS as a table: plain decimal milliseconds either way are taken; unset or
// empty is 0 without a word; anything else, or a value beyond 5 s, is 0 with a warning.
TEST(AvOffset, ParsesMillisecondsOrWarns) {
    const OffsetCase cases[] = {
        {nullptr, 0.0, false},    {"", 0.0, false},   {"40", 0.040, false}, {"-25", -0.025, false},
        {"+12.5", 0.0125, false}, {"0", 0.0, false},  {"5000", 5.0, false}, {"-5000", -5.0, false},
        {"5000.5", 0.0, true},    {"abc", 0.0, true}, {"40ms", 0.0, true},  {" 40", 0.0, true},
        {"0x10", 0.0, true},      {"nan", 0.0, true}, {"inf", 0.0, true},   {"1.2.3", 0.0, true},
        {"-", 0.0, true},         {"1e3", 0.0, true},
    };
    for (const OffsetCase& c : cases) {
        const std::string name = c.value ? c.value : "(unset)";
        const AvOffset offset = parseAvOffset(c.value);
        EXPECT_DOUBLE_EQ(offset.seconds, c.seconds) << name;
        EXPECT_EQ(!offset.warning.empty(), c.warns) << name << ": " << offset.warning;
    }
}

// The warning is one line naming the variable and the value it refused.
TEST(AvOffset, WarningNamesVariableAndValue) {
    const std::string warning = parseAvOffset("fast").warning;
    EXPECT_NE(warning.find("INTRO_AV_OFFSET_MS=fast"), std::string::npos) << warning;
    EXPECT_EQ(warning.find('\n'), std::string::npos) << warning;
}

// The drawn moment is the heard one moved by the offset, never before the show's start: a
// negative offset at the start would otherwise select the end section.
TEST(AvOffset, MovesHeardClockNeverBelowZero) {
    EXPECT_DOUBLE_EQ(offsetSeconds(10.0, parseAvOffset("250")), 10.25);
    EXPECT_DOUBLE_EQ(offsetSeconds(10.0, parseAvOffset("-250")), 9.75);
    EXPECT_DOUBLE_EQ(offsetSeconds(0.1, parseAvOffset("-250")), 0.0);
    EXPECT_DOUBLE_EQ(offsetSeconds(0.0, parseAvOffset(nullptr)), 0.0);
}
