#include "app/options.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

DemoSettings parsed(const std::string& line) {
    demoSettings = DemoSettings{};
    parseOptions(line.c_str());
    return demoSettings;
}

struct OptionCase {
    const char* line;
    int32_t width, height, x, y;
    bool windowed;  // showCursor always follows it
};

class ParseOptions : public testing::TestWithParam<OptionCase> {};

TEST_P(ParseOptions, FillsSettingsFromTheWholeLine) {
    const OptionCase c = GetParam();
    const DemoSettings s = parsed(c.line);
    EXPECT_EQ(s.windowWidth, c.width);
    EXPECT_EQ(s.windowHeight, c.height);
    EXPECT_EQ(s.windowX, c.x);
    EXPECT_EQ(s.windowY, c.y);
    EXPECT_EQ(s.windowed, c.windowed);
    EXPECT_EQ(s.showCursor, c.windowed);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseOptions,
    testing::Values(
        // no options: everything stays zero (pop-up over the virtual screen)
        OptionCase{"intro", 0, 0, 0, 0, false}, OptionCase{"", 0, 0, 0, 0, false},
        OptionCase{"intro -f1", 0, 0, 0, 0, true}, OptionCase{"intro -f0", 0, 0, 0, 0, false},
        OptionCase{"intro -f7", 0, 0, 0, 0, true}, OptionCase{"intro -w640", 640, 0, 0, 0, false},
        OptionCase{"intro -w640 -h360 -x10 -y20", 640, 360, 10, 20, false},
        // the minus of the value starts an option "1", which is ignored
        OptionCase{"intro -x-100", 0, 0, -100, 0, false},
        // the path ends at its first space; its remainder is scanned like options
        OptionCase{"/opt/my -w99 dir/intro -h5", 99, 5, 0, 0, false},
        OptionCase{"/opt/my-w99/intro", 0, 0, 0, 0, false},
        // repeats: the last one wins
        OptionCase{"intro -w1 -w2 -f1 -f0", 2, 0, 0, 0, false},
        // a space between letter and number is skipped as atoi skips it
        OptionCase{"intro -w 640 -h\t360", 640, 360, 0, 0, false},
        // a dash at the end, unknown letters and stray text do nothing
        OptionCase{"intro -q5 junk -", 0, 0, 0, 0, false},
        OptionCase{"intro -w12abc", 12, 0, 0, 0, false},
        // values glued together: scanning resumes after each letter
        OptionCase{"intro -w-h5", 0, 5, 0, 0, false},
        // leading spaces before the path: the path is empty
        OptionCase{"   -w8", 8, 0, 0, 0, false},
        // numbers beyond 32 bits saturate instead of being undefined
        OptionCase{"intro -w99999999999999999999 -x-99999999999", INT32_MAX, 0, INT32_MIN, 0,
                   false},
        OptionCase{"intro -y2147483647 -x-2147483648", 0, 0, INT32_MIN, INT32_MAX, false}));

TEST(ParseOptionsHostile, LongLinesOfDashesAndDigitsAreScannedSafely) {
    // A 100 kB line of dashes, and a long run of digits after an option: the scan stays
    // inside the string (checked by the sanitizer build) and keeps the last value.
    EXPECT_EQ(parsed("intro " + std::string(100000, '-')).windowWidth, 0);
    EXPECT_EQ(parsed("intro -w" + std::string(100000, '9')).windowWidth, INT32_MAX);
    std::string mixed = "intro";
    for (int i = 0; i < 20000; ++i) mixed += " -w" + std::to_string(i);
    EXPECT_EQ(parsed(mixed).windowWidth, 19999);
    EXPECT_EQ(parsed("intro -" + std::string(1, char(0xFF)) + "5 -h3").windowHeight, 3);
}

TEST(JoinCommandLine, JoinsArgumentsWithSingleSpaces) {
    char a0[] = "./intro", a1[] = "-w", a2[] = "640", a3[] = "-f1";
    char* argv[] = {a0, a1, a2, a3};
    EXPECT_EQ(joinCommandLine(4, argv), "./intro -w 640 -f1");
    EXPECT_EQ(joinCommandLine(0, argv), "");
}

}  // namespace
