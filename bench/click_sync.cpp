// Measures how far the show's clock is from the sound actually leaving the sink: plays a
// click track through the audio library (initMusic, startMusic, musicSeconds, as the
// intro does) while a recorder takes the sink's monitor with the server's own timing.
// Prints one line of figures: per click from 2 s of track on, (monotonic time at which the
// clock reads the click's track time) - (time the click left the sink), positive when the
// picture is late: their mean, standard deviation and spread (largest - smallest); the
// clock's largest deviation from a straight line; its backward steps; then the largest
// offset among the clicks of the start, and the largest disagreement among the recorder's
// timing reports used to place a click, and the range of the monitored sink's latency as the
// recorder saw it. The output is chosen as the intro chooses it (INTRO_AUDIO
// applies). With --reference pipewire, the clicks are placed by PipeWire's own stream timing
// and the pulse protocol recorder's mean is printed beside. With --reference not-asked, the
// pulse protocol recorder asks for no latency, and the monitored sink runs at its own.
// usage: audio-click-sync [--seconds S] [--source NAME] [--reference pulse|not-asked|pipewire]
//                         [--label TEXT] [--clicks]
#include "audio/music.h"
#include "demo/timeline.h"

#include "audio_mp3_maker.h"
#include "click_recorder.h"
#include "click_timing.h"
#include "click_track.h"
#include "pw_click_recorder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

// Clicks before this track time are the stream's start, reported apart: a null sink that
// wakes up renders ahead, rewinds and shifts its monitor's timeline while a stream starts,
// so the recording places those clicks less surely, and the clock settles on the first
// reports then.
static constexpr double kSteadyFromSeconds = 2.0;

// Longest a clock reading may take to count (see the reading loop).
static constexpr int64_t kReadingLimitNs = 100000;

static int64_t nowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

static void usage(FILE* out) {
    std::fprintf(out,
                 "usage: audio-click-sync [--seconds S] [--source NAME] [--reference KIND]\n"
                 "                        [--label TEXT] [--clicks]\n"
                 "Plays a click track (a 1 ms click every 0.4 s) through the intro's audio\n"
                 "output while recording the sound server's source NAME (default: the default\n"
                 "source, a null sink's monitor), and prints the clock's offset against the\n"
                 "sound that left the sink, its jitter and its backward steps.\n"
                 "  --seconds S   length of the click track, 4 to 600 (default 20)\n"
                 "  --source NAME source to record (default: the server's default)\n"
                 "  --reference KIND  what places the clicks in time: pulse (the recording of\n"
                 "                the source through the pulse protocol, default) or pipewire\n"
                 "                (PipeWire's own stream on the default sink's monitor; the\n"
                 "                pulse protocol's mean is printed beside it) or not-asked\n"
                 "                (the pulse protocol, asking for no latency: a latency asked\n"
                 "                for on a monitor lowers the monitored sink's own)\n"
                 "  --label TEXT  first column of the result line (default: INTRO_AUDIO)\n"
                 "  --clicks      also list every click (track time, time since start, offset)\n");
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

// Offsets in ms of the clicks from kSteadyFromSeconds on, each as (time the clock reads the
// click) - (time it left the sink); `startWorstMs` gets the largest among earlier clicks.
static std::vector<double> clickOffsetsMs(const std::vector<int64_t>& heard,
                                          const std::vector<Reading>& log,
                                          const std::vector<double>& clicks, bool listClicks,
                                          double& startWorstMs) {
    // Each recorded click is the decoded click nearest to what the clock read when it left
    // the sink; clicks 0.4 s apart leave no doubt within +-0.2 s.
    std::vector<double> offsetsMs;
    startWorstMs = 0;
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
    return offsetsMs;
}

static double meanOf(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) sum += v;
    return sum / double(values.size());
}

int main(int argc, char** argv) {
    double trackSeconds = 20;
    const char* source = nullptr;
    bool listClicks = false;
    bool nativeReference = false;
    RecorderLatency recorderLatency = RecorderLatency::asked;
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
        } else if (!std::strcmp(argv[i], "--reference") && hasValue) {
            const char* kind = argv[++i];
            nativeReference = !std::strcmp(kind, "pipewire");
            if (!std::strcmp(kind, "not-asked")) recorderLatency = RecorderLatency::notAsked;
            if (!nativeReference && std::strcmp(kind, "pulse") != 0 &&
                recorderLatency == RecorderLatency::asked) {
                usage(stderr);
                return 2;
            }
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
    std::string reason;
    const std::vector<double> clicks = decodedClickSeconds(path, reason);
    if (clicks.empty()) {
        std::remove(path.c_str());
        std::fprintf(stderr, "audio-click-sync: %s: %s\n", path.c_str(), reason.c_str());
        return 1;
    }

    // PULSE_LATENCY_MSEC and PIPEWIRE_LATENCY are meant for the player only: the libraries
    // read them whenever a stream connects, and a recorder that took them would see the
    // sink in 150 ms lumps.
    std::vector<std::pair<const char*, std::string>> playerSettings;
    for (const char* name : {"PULSE_LATENCY_MSEC", "PIPEWIRE_LATENCY"}) {
        if (const char* value = std::getenv(name)) playerSettings.emplace_back(name, value);
        unsetenv(name);
    }
    // Beside PipeWire's own recorder the pulse protocol's only compares, in fragments long
    // enough not to set the graph's cycle: 5 ms ones would force a quantum of 256 frames,
    // half what the intro asks for, and with it more missed cycles on a busy machine.
    ClickRecorder* recorder =
        startClickRecorder(source, nativeReference ? 20 : 5, reason, recorderLatency);
    PwClickRecorder* pwRecorder = nullptr;
    if (recorder && nativeReference) {
        pwRecorder = startPwClickRecorder(nullptr, reason);
        if (!pwRecorder) reason = "PipeWire: " + reason;
    }
    for (const auto& [name, value] : playerSettings) setenv(name, value.c_str(), 1);
    if (!recorder || (nativeReference && !pwRecorder)) {
        std::remove(path.c_str());
        std::fprintf(stderr, "audio-click-sync: cannot record %s: %s\n",
                     source ? source : "the default source", reason.c_str());
        return 1;
    }
    initMusic(path.c_str(), kShowEndSeconds);
    std::remove(path.c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the recording settles
    startMusic();
    std::vector<Reading> log;
    // Until the clock has passed the last click, or at most 5 s longer than the track.
    const int64_t until = nowNs() + int64_t((trackSeconds + 5) * 1e9);
    // A reading is placed midway between the times taken around it; one that took longer
    // than kReadingLimitNs was interrupted, and when within that span it was taken is not
    // known closely enough to judge the clock by.
    for (int64_t before = nowNs(); before < until; before = nowNs()) {
        const double seconds = musicSeconds();
        const int64_t after = nowNs();
        if (after - before <= kReadingLimitNs)
            log.push_back({before + (after - before) / 2, seconds});
        if (seconds > trackSeconds + 0.3) break;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the last sound arrives
    double mappingJitterMs = 0, pulseMappingJitterMs = 0, startWorstMs = 0, pulseStartMs = 0;
    SinkLatencyLog sink;
    const std::vector<int64_t> heardByPulse =
        stopClickRecorder(recorder, pulseMappingJitterMs, &sink);
    const std::vector<double> pulseOffsetsMs =
        clickOffsetsMs(heardByPulse, log, clicks, listClicks && !pwRecorder, pulseStartMs);
    std::vector<double> offsetsMs = pulseOffsetsMs;
    startWorstMs = pulseStartMs;
    mappingJitterMs = pulseMappingJitterMs;
    if (pwRecorder) {
        const std::vector<int64_t> heard = stopPwClickRecorder(pwRecorder, mappingJitterMs);
        offsetsMs = clickOffsetsMs(heard, log, clicks, listClicks, startWorstMs);
    }

    int backward = 0;
    for (size_t i = 1; i < log.size(); ++i) backward += log[i].seconds < log[i - 1].seconds;

    if (offsetsMs.empty()) {
        std::fprintf(stderr, "audio-click-sync: no click was recorded (%zu decoded)\n",
                     clicks.size());
        return 1;
    }
    double squares = 0;
    const double mean = meanOf(offsetsMs);
    for (double o : offsetsMs) squares += (o - mean) * (o - mean);
    const auto [low, high] = std::minmax_element(offsetsMs.begin(), offsetsMs.end());
    size_t steadyClicks = 0;
    for (double c : clicks) steadyClicks += c >= kSteadyFromSeconds;
    std::printf(
        "%-30s clicks %3zu/%3zu  mean %+7.2f ms  sd %5.2f ms  spread %5.2f ms  "
        "jitter %5.2f ms  backward %d  | start %+7.2f ms  recorder %.2f ms  sink %.1f-%.1f ms\n",
        label.c_str(), offsetsMs.size(), steadyClicks, mean,
        std::sqrt(squares / double(offsetsMs.size())), *high - *low, clockJitterMs(log), backward,
        startWorstMs, mappingJitterMs, sink.lowMs, sink.highMs);
    // The pulse protocol's own account of the same clicks, beside PipeWire's.
    if (pwRecorder && !pulseOffsetsMs.empty())
        std::printf("%-30s pulse-protocol recorder: mean %+7.2f ms  recorder %.2f ms\n", "",
                    meanOf(pulseOffsetsMs), pulseMappingJitterMs);
    return 0;
}
