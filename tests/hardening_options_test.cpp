// Hostile command lines: every line is scanned inside its own bytes. Each line is held in
// a heap block of exactly its length plus the NUL, so under AddressSanitizer a read one
// byte past the end fails the test; the values it leaves are checked exactly.
#include "app/options.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace {

DemoSettings parsedExactly(const std::string& line) {
    std::unique_ptr<char[]> held(new char[line.size() + 1]);
    std::memcpy(held.get(), line.c_str(), line.size() + 1);
    demoSettings = DemoSettings{};
    parseOptions(held.get());
    return demoSettings;
}

bool same(const DemoSettings& a, const DemoSettings& b) {
    return a.windowWidth == b.windowWidth && a.windowHeight == b.windowHeight &&
           a.windowX == b.windowX && a.windowY == b.windowY && a.windowed == b.windowed &&
           a.showCursor == b.showCursor;
}

bool untouched(const DemoSettings& s) {
    return s.windowWidth == 0 && s.windowHeight == 0 && s.windowX == 0 && s.windowY == 0 &&
           !s.windowed && !s.showCursor;
}

}  // namespace

// A 1 MB line of options and junk: the last -w wins, far from the start.
TEST(HostileLine, OneMegabyteLineKeepsTheLastValue) {
    std::string line = "intro";
    for (int i = 0; line.size() < (1u << 20); ++i) line += " -w" + std::to_string(i) + " junk-";
    line += " -h77";
    const DemoSettings s = parsedExactly(line);
    EXPECT_GT(s.windowWidth, 70000);
    EXPECT_EQ(s.windowHeight, 77);
}

// Only dashes, with and without a program path: every "-" takes the next "-" as its letter,
// which is no option; a dash at the very end stops the scan at the NUL.
TEST(HostileLine, OnlyDashesChangeNothing) {
    for (size_t n : {1u, 2u, 3u, 4097u, 1u << 20}) {
        EXPECT_TRUE(untouched(parsedExactly(std::string(n, '-')))) << n << " dashes";
        EXPECT_TRUE(untouched(parsedExactly("intro " + std::string(n, '-')))) << n << " dashes";
    }
}

// Every byte value after a dash: only f, w, h, x and y set anything; the option at the
// very end reads its value from the empty rest of the line.
TEST(HostileLine, EveryLetterAfterADash) {
    for (int c = 1; c < 256; ++c) {
        const std::string letter(1, char(c));
        const DemoSettings s = parsedExactly("intro -" + letter + "7");
        EXPECT_EQ(s.windowed, c == 'f') << c;
        EXPECT_EQ(s.showCursor, c == 'f') << c;
        EXPECT_EQ(s.windowWidth, c == 'w' ? 7 : 0) << c;
        EXPECT_EQ(s.windowHeight, c == 'h' ? 7 : 0) << c;
        EXPECT_EQ(s.windowX, c == 'x' ? 7 : 0) << c;
        EXPECT_EQ(s.windowY, c == 'y' ? 7 : 0) << c;
        const DemoSettings atEnd = parsedExactly("intro -" + letter);
        EXPECT_TRUE(untouched(atEnd)) << c;
    }
}

struct NumberCase {
    const char* value;
    int32_t expected;
};

class HostileNumber : public testing::TestWithParam<NumberCase> {};

// Values beyond 32 bits saturate, signs and white space are read as atoi reads them, and
// anything else is 0.
TEST_P(HostileNumber, IsReadSaturatedToThirtyTwoBits) {
    const NumberCase c = GetParam();
    EXPECT_EQ(parsedExactly(std::string("intro -x") + c.value).windowX, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, HostileNumber,
    testing::Values(NumberCase{"2147483647", INT32_MAX}, NumberCase{"2147483648", INT32_MAX},
                    NumberCase{"-2147483648", INT32_MIN}, NumberCase{"-2147483649", INT32_MIN},
                    NumberCase{"99999999999999999999999999999999", INT32_MAX},
                    NumberCase{"-99999999999999999999999999999999", INT32_MIN},
                    NumberCase{"+12", 12}, NumberCase{"--5", 0}, NumberCase{"+-5", 0},
                    NumberCase{" \t\n\v\f\r-42", -42}, NumberCase{"0x10", 0}, NumberCase{"1e9", 1},
                    NumberCase{"", 0}, NumberCase{" ", 0}, NumberCase{"-", 0}));

// A run of digits longer than any number, at the very end of the line.
TEST(HostileLine, MegabyteOfDigitsAtTheEnd) {
    EXPECT_EQ(parsedExactly("intro -y" + std::string(1u << 20, '7')).windowY, INT32_MAX);
    EXPECT_EQ(parsedExactly("intro -y-" + std::string(1u << 20, '7')).windowY, INT32_MIN);
}

// Binary junk without NUL: whatever it sets, the scan ends inside the line (the sanitizer
// build checks the bounds) and the same line always gives the same settings.
TEST(HostileLine, BinaryJunkIsScannedInsideTheLine) {
    std::mt19937 random(12);
    for (int round = 0; round < 200; ++round) {
        std::string line(size_t(random() % 4096), '\0');
        for (char& c : line) c = char(1 + random() % 255);
        // Dashes before option letters, so the junk reaches the number reader often.
        for (size_t i = 0; i + 1 < line.size(); i += 1 + random() % 16) line[i] = '-';
        const DemoSettings first = parsedExactly(line);
        EXPECT_TRUE(same(first, parsedExactly(line))) << "round " << round;
    }
}
