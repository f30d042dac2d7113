// Measures how far the show's clock is from the sound actually leaving the sink: plays a
// click track through the audio library (initMusicFrom, startMusic, musicSeconds, as the
// intro does) while a recorder takes the sink's monitor with the server's own timing.
// Prints one line of figures: per click from 2 s of track on, (monotonic time at which the
// clock reads the click's track time) - (time the click left the sink), positive when the
// picture is late: their mean, standard deviation and spread (largest - smallest); the
// clock's largest deviation from a straight line; its backward steps; then the largest
// offset among the clicks of the start, and the largest disagreement among the recorder's
// timing reports used to place a click. The output is chosen as the intro chooses it (INTRO_AUDIO
// applies). usage: audio-click-sync [--seconds S] [--source NAME] [--label TEXT] [--clicks]
#include "audio/mp3_decoder.h"
#include "audio/music.h"

#include "audio_mp3_maker.h"
#include "click_recorder.h"
#include "click_track.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// Clicks before this track time are the stream's start, reported apart: a null sink that
// wakes up renders ahead, rewinds and shifts its monitor's timeline while a stream starts,
// so the recording places those clicks less surely, and the clock settles on the first
// reports then.
static constexpr double kSteadyFromSeconds = 2.0;

struct Reading {
    int64_t ns;      // steady_clock
    double seconds;  // musicSeconds()
};

static int64_t nowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

static void usage(FILE* out) {
    std::fprintf(out,
                 "usage: audio-click-sync [--seconds S] [--source NAME] [--label TEXT] [--clicks]\n"
                 "Plays a click track (a 1 ms click every 0.4 s) through the intro's audio\n"
                 "output while recording the sound server's source NAME (default: the default\n"
                 "source, a null sink's monitor), and prints the clock's offset against the\n"
                 "sound that left the sink, its jitter and its backward steps.\n"
                 "  --seconds S   length of the click track, 4 to 600 (default 20)\n"
                 "  --source NAME source to record (default: the server's default)\n"
                 "  --label TEXT  first column of the result line (default: INTRO_AUDIO)\n"
                 "  --clicks      also list every click (track time, time since start, offset)\n");
}

// Track times of the clicks as the decoder delivers them, found the same way as in the
// recording, so the coder's own shaping of a click cancels out.
static std::vector<double> decodedClickSeconds(const std::string& path) {
    std::string reason;
    Mp3Decoder* decoder = openMp3File(path.c_str(), reason);
    if (!decoder) {
        std::fprintf(stderr, "audio-click-sync: %s: %s\n", path.c_str(), reason.c_str());
        std::exit(1);
    }
    std::vector<int16_t> pcm;
    int16_t buffer[8192];
    while (size_t got = decodeMp3(decoder, reinterpret_cast<uint8_t*>(buffer), sizeof buffer))
        pcm.insert(pcm.end(), buffer, buffer + got / 2);
    closeMp3(decoder);
    std::vector<double> seconds;
    for (double frame : findClickOnsets(pcm.data(), pcm.size() / 2))
        seconds.push_back(frame / 44100.0);
    return seconds;
}

// Monotonic time at which the clock first reads `seconds`, interpolated between readings;
// -1 when it never does.
static double timeClockReads(const std::vector<Reading>& log, double seconds) {
    for (size_t i = 1; i < log.size(); ++i) {
        if (log[i].seconds < seconds) continue;
        const Reading& a = log[i - 1];
        const Reading& b = log[i];
        if (b.seconds == a.seconds) return double(b.ns);
        const double share = std::clamp((seconds - a.seconds) / (b.seconds - a.seconds), 0.0, 1.0);
        return double(a.ns) + share * double(b.ns - a.ns);
    }
    return -1;
}

// Clock reading at monotonic time ns, interpolated.
static double clockAt(const std::vector<Reading>& log, double ns) {
    auto after = std::lower_bound(log.begin(), log.end(), ns,
                                  [](const Reading& r, double t) { return double(r.ns) < t; });
    if (after == log.begin()) return log.front().seconds;
    if (after == log.end()) return log.back().seconds;
    const Reading& a = *(after - 1);
    const Reading& b = *after;
    return a.seconds + (b.seconds - a.seconds) * (ns - double(a.ns)) / double(b.ns - a.ns);
}

// Largest distance in ms of a reading from the least-squares line through the readings
// from kSteadyFromSeconds on.
static double clockJitterMs(const std::vector<Reading>& log) {
    std::vector<Reading> used;
    for (const Reading& r : log)
        if (r.seconds >= kSteadyFromSeconds) used.push_back(r);
    if (used.size() < 2) return -1;
    const double t0 = double(used.front().ns);
    double st = 0, ss = 0, stt = 0, sts = 0;
    for (const Reading& r : used) {
        const double t = (double(r.ns) - t0) / 1e9;
        st += t;
        ss += r.seconds;
        stt += t * t;
        sts += t * r.seconds;
    }
    const double n = double(used.size());
    const double slope = (n * sts - st * ss) / (n * stt - st * st);
    const double offset = (ss - slope * st) / n;
    double worst = 0;
    for (const Reading& r : used) {
        const double t = (double(r.ns) - t0) / 1e9;
        worst = std::max(worst, std::fabs(r.seconds - (offset + slope * t)) * 1000);
    }
    return worst;
}

int main(int argc, char** argv) {
    double trackSeconds = 20;
    const char* source = nullptr;
    bool listClicks = false;
    std::string label = std::getenv("INTRO_AUDIO") ? std::getenv("INTRO_AUDIO") : "default";
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--help")) {
            usage(stdout);
            return 0;
        } else if (!std::strcmp(argv[i], "--seconds") && hasValue) {
            trackSeconds = std::atof(argv[++i]);
        } else if (!std::strcmp(argv[i], "--source") && hasValue) {
            source = argv[++i];
        } else if (!std::strcmp(argv[i], "--clicks")) {
            listClicks = true;
        } else if (!std::strcmp(argv[i], "--label") && hasValue) {
            label = argv[++i];
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (!(trackSeconds >= 4 && trackSeconds <= 600)) {
        usage(stderr);
        return 2;
    }

    const std::string path = "/tmp/audio-click-sync-" + std::to_string(getpid()) + ".mp3";
    if (!writeTestFile(path, encodeMp3(makeClickTrack(trackSeconds), 44100, 2))) {
        std::fprintf(stderr, "audio-click-sync: cannot write %s\n", path.c_str());
        return 1;
    }
    const std::vector<double> clicks = decodedClickSeconds(path);

    // PULSE_LATENCY_MSEC is meant for the player only: libpulse reads it whenever a stream
    // connects, and a recorder that took it would see the sink in 150 ms lumps.
    const char* latencySetting = std::getenv("PULSE_LATENCY_MSEC");
    const std::string playerLatency = latencySetting ? latencySetting : "";
    unsetenv("PULSE_LATENCY_MSEC");
    std::string reason;
    ClickRecorder* recorder = startClickRecorder(source, reason);
    if (latencySetting) setenv("PULSE_LATENCY_MSEC", playerLatency.c_str(), 1);
    if (!recorder) {
        std::remove(path.c_str());
        std::fprintf(stderr, "audio-click-sync: cannot record %s: %s\n",
                     source ? source : "the default source", reason.c_str());
        return 1;
    }
    initMusicFrom(path.c_str());
    std::remove(path.c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the recording settles
    startMusic();
    std::vector<Reading> log;
    // Until the clock has passed the last click, or at most 5 s longer than the track.
    const int64_t until = nowNs() + int64_t((trackSeconds + 5) * 1e9);
    for (int64_t now = nowNs(); now < until; now = nowNs()) {
        log.push_back({now, musicSeconds()});
        if (log.back().seconds > trackSeconds + 0.3) break;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the last sound arrives
    double mappingJitterMs = 0;
    const std::vector<int64_t> heard = stopClickRecorder(recorder, mappingJitterMs);

    int backward = 0;
    for (size_t i = 1; i < log.size(); ++i) backward += log[i].seconds < log[i - 1].seconds;

    // Each recorded click is the decoded click nearest to what the clock read when it left
    // the sink; clicks 0.4 s apart leave no doubt within +-0.2 s.
    std::vector<double> offsetsMs;
    double startWorstMs = 0;
    for (int64_t ns : heard) {
        const double reading = clockAt(log, double(ns));
        const auto nearest = std::min_element(
            clicks.begin(), clicks.end(),
            [&](double a, double b) { return std::fabs(a - reading) < std::fabs(b - reading); });
        if (nearest == clicks.end() || std::fabs(*nearest - reading) > kClickBeatSeconds / 2)
            continue;
        const double clockNs = timeClockReads(log, *nearest);
        if (clockNs < 0) continue;
        const double offsetMs = (clockNs - double(ns)) / 1e6;
        if (*nearest >= kSteadyFromSeconds)
            offsetsMs.push_back(offsetMs);
        else if (std::fabs(offsetMs) > std::fabs(startWorstMs))
            startWorstMs = offsetMs;
        if (listClicks)
            std::printf("  click at %7.3f s  left the sink at %8.3f s  offset %+7.2f ms\n",
                        *nearest, (double(ns) - double(log.front().ns)) / 1e9, offsetMs);
    }
    if (offsetsMs.empty()) {
        std::fprintf(stderr, "audio-click-sync: no click was recorded (%zu decoded)\n",
                     clicks.size());
        return 1;
    }
    double sum = 0, squares = 0;
    for (double o : offsetsMs) sum += o;
    const double mean = sum / double(offsetsMs.size());
    for (double o : offsetsMs) squares += (o - mean) * (o - mean);
    const auto [low, high] = std::minmax_element(offsetsMs.begin(), offsetsMs.end());
    size_t steadyClicks = 0;
    for (double c : clicks) steadyClicks += c >= kSteadyFromSeconds;
    std::printf(
        "%-30s clicks %3zu/%3zu  mean %+7.2f ms  sd %5.2f ms  spread %5.2f ms  "
        "jitter %5.2f ms  backward %d  | start %+7.2f ms  recorder %.2f ms\n",
        label.c_str(), offsetsMs.size(), steadyClicks, mean,
        std::sqrt(squares / double(offsetsMs.size())), *high - *low, clockJitterMs(log), backward,
        startWorstMs, mappingJitterMs);
    return 0;
}
