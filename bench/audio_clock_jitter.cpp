// Measures how smoothly musicSeconds() follows real time: plays a generated MP3 (on SDL's
// dummy driver unless INTRO_AUDIO or SDL_AUDIODRIVER say otherwise), samples the clock
// densely for a while, fits a straight line to position over wall-clock time and reports the
// largest distance from that line and the largest single step. usage: audio-clock-jitter [seconds,
// default 10]
#include "audio/music.h"
#include "audio/music_output.h"
#include "demo/timeline.h"

#include "audio_mp3_maker.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

static constexpr double kTargetDeviationMs = 2.0;

struct Sample {
    double wall;   // seconds since the first moving sample
    double music;  // musicSeconds()
};

// Least-squares line music = offset + slope * wall through n samples.
static void fitLine(const Sample* samples, size_t n, double& offset, double& slope) {
    double sw = 0, sm = 0, sww = 0, swm = 0;
    for (size_t i = 0; i < n; ++i) {
        sw += samples[i].wall;
        sm += samples[i].music;
        sww += samples[i].wall * samples[i].wall;
        swm += samples[i].wall * samples[i].music;
    }
    const double count = double(n);
    slope = (count * swm - sw * sm) / (count * sww - sw * sw);
    offset = (sm - slope * sw) / count;
}

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    if (!(seconds > 0)) {
        std::fprintf(stderr, "usage: audio-clock-jitter [seconds]\n");
        return 2;
    }
    setenv("INTRO_AUDIO", "sdl", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    TestTone tone;
    tone.seconds = seconds + 2;
    const std::string path = "/tmp/audio-clock-jitter-" + std::to_string(getpid()) + ".mp3";
    if (!writeTestFile(path, makeMp3(tone))) {
        std::fprintf(stderr, "audio-clock-jitter: cannot write %s\n", path.c_str());
        return 2;
    }
    initMusic(path.c_str(), kShowEndSeconds);
    std::remove(path.c_str());
    startMusic();

    using Clock = std::chrono::steady_clock;
    while (musicSeconds() == 0.0) std::this_thread::sleep_for(std::chrono::microseconds(100));
    const Clock::time_point start = Clock::now();
    std::vector<Sample> samples;
    for (;;) {
        const double music = musicSeconds();
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        samples.push_back({wall, music});
        if (wall >= seconds) break;
        std::this_thread::sleep_for(std::chrono::microseconds(250));
    }

    double offset = 0, slope = 0;
    fitLine(samples.data(), samples.size(), offset, slope);
    // A device that paces its callbacks by sleeping (SDL's dummy driver) drifts in rate over
    // seconds, and the clock follows it by design; one-second fits show the smoothness
    // apart from that drift.
    double worstLocal = 0;
    for (size_t first = 0; first < samples.size();) {
        size_t end = first;
        while (end < samples.size() && samples[end].wall < samples[first].wall + 1.0) ++end;
        double o = 0, k = 0;
        fitLine(samples.data() + first, end - first, o, k);
        for (size_t i = first; i < end; ++i)
            worstLocal =
                std::max(worstLocal, std::fabs(samples[i].music - (o + k * samples[i].wall)));
        first = end;
    }

    double worstDeviation = 0, worstAt = 0, largestStep = 0, largestExcess = 0;
    size_t backwards = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        const double deviation = std::fabs(s.music - (offset + slope * s.wall));
        if (deviation > worstDeviation) {
            worstDeviation = deviation;
            worstAt = s.wall;
        }
        if (i == 0) continue;
        const double step = s.music - samples[i - 1].music;
        const double elapsed = s.wall - samples[i - 1].wall;
        if (step < 0) ++backwards;
        largestStep = std::max(largestStep, step);
        largestExcess = std::max(largestExcess, step - elapsed);
    }

    if (const char* dump = std::getenv("JITTER_DUMP")) {
        if (FILE* f = std::fopen(dump, "w")) {
            for (const Sample& s : samples)
                std::fprintf(f, "%.6f %.3f\n", s.wall, (s.music - (offset + slope * s.wall)) * 1e3);
            std::fclose(f);
        }
    }
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    std::printf("audio-clock-jitter: %zu samples over %.1f s, driver %s\n", samples.size(), seconds,
                driver ? driver : "(default)");
    std::printf("  fitted rate            %.5f music s per wall s\n", slope);
    std::printf(
        "  largest deviation      %.3f ms from the fitted line at %.3f s (target <= %.1f ms)\n",
        worstDeviation * 1e3, worstAt, kTargetDeviationMs);
    std::printf("  within 1 s windows     %.3f ms from their own fitted lines\n", worstLocal * 1e3);
    std::printf("  largest step           %.3f ms between samples\n", largestStep * 1e3);
    std::printf("  largest step - elapsed %.3f ms\n", largestExcess * 1e3);
    std::printf("  backward steps         %zu\n", backwards);
    const bool met = worstDeviation * 1e3 <= kTargetDeviationMs && backwards == 0;
    std::printf("  %s\n", met ? "target met" : "TARGET MISSED");
    return met ? 0 : 1;
}
