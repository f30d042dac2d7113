#pragma once
#include <cstdint>
#include <string>

// Start-up options; zero means "the whole virtual screen" for the sizes.
struct DemoSettings {
    int32_t windowHeight;
    int32_t windowX;
    int32_t windowWidth;
    int32_t windowY;
    bool showCursor;
    bool windowed;
};

extern DemoSettings demoSettings;

// Scans the whole command line, program path first, into demoSettings. The path ends
// at its first space (quotes are not special); every later "-" takes the next character
// as an option letter and reads the number right after it, leading white space skipped.
void parseOptions(const char* line);

// The line refusing a negative window size ("intro: -w must not be negative (got -5)"),
// for -w before -h; empty when neither is negative.
std::string negativeSizeProblem(const DemoSettings& settings);

// The window's size from the options and the virtual screen's: a size of 0 is the
// screen's, each of the two on its own.
void chooseWindowSize(const DemoSettings& settings, int32_t screenWidth, int32_t screenHeight,
                      int32_t& width, int32_t& height);

// The command line as one string: argv joined by single spaces, argv[0] first.
std::string joinCommandLine(int argc, char** argv);
