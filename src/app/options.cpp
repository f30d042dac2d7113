#include "app/options.h"

#include <cctype>
#include <climits>
#include <cstdlib>

DemoSettings demoSettings = {};

// The decimal number at text as atoi reads it, saturated to the 32-bit range instead of
// being undefined when it does not fit.
static int32_t readNumber(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return int32_t(value);
}

static void applyOption(char letter, const char* valueText) {
    switch (letter) {
    case 'f': {
        const bool on = readNumber(valueText) != 0;
        demoSettings.showCursor = on;
        demoSettings.windowed = on;
        break;
    }
    case 'w': demoSettings.windowWidth = readNumber(valueText); break;
    case 'h': demoSettings.windowHeight = readNumber(valueText); break;
    case 'x': demoSettings.windowX = readNumber(valueText); break;
    case 'y': demoSettings.windowY = readNumber(valueText); break;
    default: break;
    }
}

void parseOptions(const char* line) {
    const char* p = line;
    if (*p != ' ')
        while (*p && *p != ' ') ++p;
    while (*p == ' ') ++p;

    for (; *p; ++p) {
        if (*p != '-') continue;
        const char letter = p[1];
        if (!letter) break;  // a "-" at the very end
        applyOption(letter, p + 2);
        ++p;  // scanning resumes after the letter; the digits are passed over
    }
}

static std::string negativeRefusal(const char* option, int32_t value) {
    return std::string("intro: ") + option + " must not be negative (got " + std::to_string(value) +
           ")";
}

std::string negativeSizeProblem(const DemoSettings& settings) {
    if (settings.windowWidth < 0) return negativeRefusal("-w", settings.windowWidth);
    if (settings.windowHeight < 0) return negativeRefusal("-h", settings.windowHeight);
    return "";
}

void chooseWindowSize(const DemoSettings& settings, int32_t screenWidth, int32_t screenHeight,
                      int32_t& width, int32_t& height) {
    width = settings.windowWidth ? settings.windowWidth : screenWidth;
    height = settings.windowHeight ? settings.windowHeight : screenHeight;
}

std::string joinCommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i) line += ' ';
        line += argv[i];
    }
    return line;
}
