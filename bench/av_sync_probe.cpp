// Measures picture against sound end to end, as a viewer would: while a player (the intro,
// or the page in a browser) plays a click track with the show's pictures, this program
// watches a few pixels of the X display and records the sound server's default source (a
// null sink's monitor). Each sharp change of a watched pixel, known from the show's own
// drawing, is timed where it appears on the display against the moment the same show time
// left the sink, placed by the clicks around it. Prints one line per recorder: the number
// of changes matched, and their offsets (+: picture late): mean, standard deviation,
// smallest and largest; with the monitored sink's latency as the server reported it.
// usage: av-sync-probe --make-track FILE --seconds S
//        av-sync-probe --track FILE --data DIR --canvas LEFT,TOP,SIZE --seconds S
//                      [--from T] [--pixels N] [--recorders KIND] [--ready FILE]
//                      [--label TEXT] [--events] [--clock-log FILE]
// With --clock-log, the player's own clock readings (the page's, logged by its driver) are
// also set against the clicks, apart from the way to the display.
#include "assets/data_pack.h"
#include "demo/frame_time.h"

#include "audio_mp3_maker.h"
#include "click_recorder.h"
#include "click_timing.h"
#include "click_track.h"
#include "pixel_events.h"
#include "screen_poller.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

// A change seen this far or farther from where the sound puts it is taken for another one.
static constexpr double kMatchWindowNs = 150e6;

// Fragments of the recorders: timing reports come this often.
static constexpr int kFragmentMs = 5;

static void usage(FILE* out) {
    std::fprintf(
        out,
        "usage: av-sync-probe --make-track FILE --seconds S\n"
        "       av-sync-probe --track FILE --data DIR --canvas LEFT,TOP,SIZE --seconds S\n"
        "                     [--from T] [--pixels N] [--recorders KIND] [--ready FILE]\n"
        "                     [--label TEXT] [--events] [--clock-log FILE]\n"
        "--make-track writes S seconds of the click track (a 1 ms click on every beat at\n"
        "150 BPM) as an MP3, to be played as the show's music.\n"
        "Otherwise watches pixels of the X display (DISPLAY) and records the sound server's\n"
        "default source (a null sink's monitor) for S seconds, and prints how far each sharp\n"
        "change of a watched pixel appears from the moment its show time left the sink.\n"
        "  --track FILE    the click track the player plays\n"
        "  --data DIR      the data pack the player shows (the pictures)\n"
        "  --canvas L,T,SIZE  where the 64 x 64 canvas lies on the display, in pixels\n"
        "  --from T        show time at which the player starts (default 0)\n"
        "  --pixels N      canvas pixels to watch, chosen for their sharp changes (default 4)\n"
        "  --recorders KIND  asked (a recorder asking for a latency as short as its\n"
        "                  fragments, which lowers the sink's too; default), not-asked\n"
        "                  (one asking for none) or both, on the same run\n"
        "  --ready FILE    created once recording and watching run: start the player then\n"
        "  --label TEXT    first column of the result lines\n"
        "  --events        also list every change matched\n"
        "  --clock-log FILE  the player's clock readings, one \"NS SECONDS\" line each\n"
        "                  (monotonic ns, show seconds), written once the player is done;\n"
        "                  waited for up to 60 s after watching: also prints how far the\n"
        "                  clock reads each click's time from when it left the sink\n");
}

struct Options {
    std::string makeTrack, track, data, ready, clockLog, label = "player";
    double seconds = 0, from = 0;
    int canvasLeft = 0, canvasTop = 0, canvasSize = 0;
    int pixels = 4;
    bool asked = true, notAsked = false, listEvents = false;
};

static bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--events") {
            o.listEvents = true;
            continue;
        }
        if (!value) return false;
        ++i;
        if (arg == "--make-track") {
            o.makeTrack = value;
        } else if (arg == "--track") {
            o.track = value;
        } else if (arg == "--data") {
            o.data = value;
        } else if (arg == "--ready") {
            o.ready = value;
        } else if (arg == "--clock-log") {
            o.clockLog = value;
        } else if (arg == "--label") {
            o.label = value;
        } else if (arg == "--seconds") {
            o.seconds = std::atof(value);
        } else if (arg == "--from") {
            o.from = std::atof(value);
        } else if (arg == "--pixels") {
            o.pixels = std::atoi(value);
        } else if (arg == "--canvas") {
            if (std::sscanf(value, "%d,%d,%d", &o.canvasLeft, &o.canvasTop, &o.canvasSize) != 3)
                return false;
        } else if (arg == "--recorders") {
            const std::string kind = value;
            if (kind != "asked" && kind != "not-asked" && kind != "both") return false;
            o.asked = kind != "not-asked";
            o.notAsked = kind != "asked";
        } else {
            return false;
        }
    }
    if (!(o.seconds >= 4 && o.seconds <= 600)) return false;
    if (!o.makeTrack.empty()) return true;
    return !o.track.empty() && !o.data.empty() && o.canvasSize >= kCanvasSize && o.from >= 0 &&
           o.pixels >= 1 && o.pixels <= 16;
}

// Clicks of the recording with their track times. Each click is numbered from the one
// before it by the beats between them: a click the recording missed leaves no gap in the
// numbering, and where the recording's timeline shifts (the sink settles as a stream
// starts, a stall) only that gap moves, by less than half a beat.
struct HeardClicks {
    std::vector<double> trackSeconds;
    std::vector<double> leftNs;
};

static HeardClicks numberClicks(const std::vector<int64_t>& left,
                                const std::vector<double>& decoded, long first) {
    HeardClicks heard;
    long k = first;
    for (size_t i = 0; i < left.size(); ++i) {
        if (i > 0)
            k += std::max(1L,
                          std::lround(double(left[i] - left[i - 1]) / (kClickBeatSeconds * 1e9)));
        if (k < 0 || k >= long(decoded.size())) continue;
        heard.trackSeconds.push_back(decoded[size_t(k)]);
        heard.leftNs.push_back(double(left[i]));
    }
    return heard;
}

// When the sound of track time `seconds` left the sink, from the nearest click (the sink
// plays at the nominal rate between clicks); -1 without a click within half a beat.
static double leftSinkNs(const HeardClicks& heard, double seconds) {
    double best = -1, bestDistance = kClickBeatSeconds / 2;
    for (size_t i = 0; i < heard.trackSeconds.size(); ++i) {
        const double distance = std::fabs(seconds - heard.trackSeconds[i]);
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = heard.leftNs[i] + (seconds - heard.trackSeconds[i]) * 1e9;
        }
    }
    return best;
}

struct Matched {
    const PixelEvent* event;
    double offsetMs;
};

// The changes seen of each watched point, in time order, and when watching ended.
struct SeenChanges {
    std::vector<std::vector<ScreenChange>> byPoint;
    double endNs = 0;
};

// When the sound of an event's show time left the sink, for an event whose change would
// have been seen before watching ended; -1 otherwise.
static double dueNs(const HeardClicks& heard, const SeenChanges& seen, double seconds) {
    const double due = leftSinkNs(heard, seconds);
    return due + kMatchWindowNs < seen.endNs ? due : -1;
}

// Every event with sound around it, matched to the change of its pixel from its old to
// its new colour nearest to where the sound puts it; `expected` counts the events with
// sound around them.
static std::vector<Matched> matchEvents(const std::vector<PixelEvent>& events,
                                        const std::vector<int>& pointOf, const SeenChanges& seen,
                                        const HeardClicks& heard, size_t& expected) {
    constexpr int kSameColour = 24;
    std::vector<Matched> matched;
    expected = 0;
    for (size_t e = 0; e < events.size(); ++e) {
        const double due = dueNs(heard, seen, events[e].seconds);
        if (due < 0) continue;
        ++expected;
        const std::vector<ScreenChange>& changes = seen.byPoint[size_t(pointOf[e])];
        double best = kMatchWindowNs;
        for (size_t c = 1; c < changes.size(); ++c) {
            const double distance = double(changes[c].ns) - due;
            if (std::fabs(distance) < std::fabs(best) &&
                colourDistance(changes[c].colour, events[e].after) <= kSameColour &&
                colourDistance(changes[c - 1].colour, events[e].before) <= kSameColour)
                best = distance;
        }
        if (std::fabs(best) < kMatchWindowNs) matched.push_back({&events[e], best / 1e6});
    }
    return matched;
}

// Recorded clicks that may be lost at the start, or heard before the player's moment.
static constexpr long kNumberingSlack = 2;

// The clicks of a recording numbered as the most changes match: the recording starts
// before the player, so its first click is the first the player plays at or after `from`,
// unless the start lost or misplaced a click or two. No wider search: the show's pictures repeat in
// places, some every three clicks (the spokes), and a wrong numbering would match there.
static std::vector<Matched> matchFromStart(const std::vector<PixelEvent>& events,
                                           const std::vector<int>& pointOf, const SeenChanges& seen,
                                           const std::vector<int64_t>& left,
                                           const std::vector<double>& decoded, double from,
                                           size_t& expected, HeardClicks& heard) {
    long start = 0;
    while (start < long(decoded.size()) && decoded[size_t(start)] < from - 0.05) ++start;
    std::vector<Matched> best;
    expected = 0;
    bool numbered = false;
    // Nearest first, so that among equals the nearer numbering stays.
    for (long i = 0; i <= 2 * kNumberingSlack; ++i) {
        const long shift = (i + 1) / 2 * (i % 2 ? 1 : -1);
        size_t count = 0;
        HeardClicks candidate = numberClicks(left, decoded, start + shift);
        std::vector<Matched> m = matchEvents(events, pointOf, seen, candidate, count);
        if (m.size() > best.size() || !numbered) {
            best = m;
            expected = count;
            heard = candidate;
            numbered = true;
        }
    }
    return best;
}

// For --events: the events with sound around them that matched no change, each with the
// changes of its pixel near where the sound puts it.
static void listUnmatched(const std::vector<PixelEvent>& events, const std::vector<int>& pointOf,
                          const SeenChanges& seen, const HeardClicks& heard,
                          const std::vector<Matched>& m) {
    for (size_t e = 0; e < events.size(); ++e) {
        const double due = dueNs(heard, seen, events[e].seconds);
        bool matched = false;
        for (const Matched& x : m) matched = matched || x.event == &events[e];
        if (due < 0 || matched) continue;
        std::printf("  %8.4f s  pixel %2d,%2d  %06x -> %06x  not seen; near it:", events[e].seconds,
                    events[e].x, events[e].y, events[e].before, events[e].after);
        for (const ScreenChange& c : seen.byPoint[size_t(pointOf[e])])
            if (std::fabs(double(c.ns) - due) < 2 * kMatchWindowNs)
                std::printf(" %06x at %+.1f ms", c.colour, (double(c.ns) - due) / 1e6);
        std::printf("\n");
    }
}

// Mean, standard deviation, smallest and largest of offsets (not empty).
struct Spread {
    double mean = 0, sd = 0, low = 0, high = 0;
};

static Spread spreadOf(const std::vector<double>& offsets) {
    Spread s;
    double squares = 0;
    for (double x : offsets) s.mean += x / double(offsets.size());
    for (double x : offsets) squares += (x - s.mean) * (x - s.mean);
    s.sd = std::sqrt(squares / double(offsets.size()));
    const auto [low, high] = std::minmax_element(offsets.begin(), offsets.end());
    s.low = *low;
    s.high = *high;
    return s;
}

static void report(const Options& o, const char* recorderName, const std::vector<Matched>& m,
                   size_t expected, const SinkLatencyLog& sink) {
    if (m.empty()) {
        std::printf("%-28s no change matched (%zu with sound around them) | %s recorder\n",
                    o.label.c_str(), expected, recorderName);
        return;
    }
    std::vector<double> offsets;
    for (const Matched& x : m) offsets.push_back(x.offsetMs);
    const Spread s = spreadOf(offsets);
    std::printf(
        "%-28s changes %3zu/%3zu  mean %+7.2f ms  sd %5.2f ms  min %+7.2f  max %+7.2f ms"
        "  | %s recorder, sink latency %.1f-%.1f ms (mean %.1f)\n",
        o.label.c_str(), m.size(), expected, s.mean, s.sd, s.low, s.high, recorderName, sink.lowMs,
        sink.highMs, sink.meanMs);
    if (!o.listEvents) return;
    for (const Matched& x : m)
        std::printf("  %8.4f s  pixel %2d,%2d  %06x -> %06x  offset %+7.2f ms\n", x.event->seconds,
                    x.event->x, x.event->y, x.event->before, x.event->after, x.offsetMs);
}

// The readings of --clock-log, once the file is there (60 s at most); empty otherwise.
static std::vector<Reading> readClockLog(const std::string& path) {
    std::vector<Reading> log;
    for (int wait = 0; wait < 600; ++wait) {
        std::ifstream in(path);
        if (!in) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        Reading r;
        while (in >> r.ns >> r.seconds) log.push_back(r);
        break;
    }
    return log;
}

// How far the player's clock reads each click's track time from when the click left the
// sink (+: late), from one second after its first reading on: the start settles first.
static void reportClock(const Options& o, const std::vector<Reading>& log,
                        const HeardClicks& heard) {
    std::vector<double> offsets;
    for (size_t i = 0; i < heard.trackSeconds.size() && !log.empty(); ++i) {
        if (heard.trackSeconds[i] < log.front().seconds + 1.0) continue;
        const double reads = timeClockReads(log, heard.trackSeconds[i]);
        if (reads >= 0) offsets.push_back((reads - heard.leftNs[i]) / 1e6);
    }
    if (offsets.empty()) {
        std::printf("%-28s no clock reading against a click (%zu readings)\n",
                    (o.label + " clock").c_str(), log.size());
        return;
    }
    const Spread s = spreadOf(offsets);
    std::printf(
        "%-28s clicks  %3zu      mean %+7.2f ms  sd %5.2f ms  min %+7.2f  max %+7.2f ms"
        "  | asked recorder: the clock alone, without the display\n",
        (o.label + " clock").c_str(), offsets.size(), s.mean, s.sd, s.low, s.high);
}

static int makeTrack(const Options& o) {
    if (!writeTestFile(o.makeTrack, encodeMp3(makeClickTrack(o.seconds), 44100, 2))) {
        std::fprintf(stderr, "av-sync-probe: cannot write %s\n", o.makeTrack.c_str());
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    Options o;
    if (argc == 2 && !std::strcmp(argv[1], "--help")) {
        usage(stdout);
        return 0;
    }
    if (!parseOptions(argc, argv, o)) {
        usage(stderr);
        return 2;
    }
    if (!o.makeTrack.empty()) return makeTrack(o);

    std::string reason;
    const std::vector<double> decoded = decodedClickSeconds(o.track, reason);
    if (decoded.empty()) {
        std::fprintf(stderr, "av-sync-probe: %s: %s\n", o.track.c_str(), reason.c_str());
        return 1;
    }
    if (loadImagesFrom(o.data.c_str()).loaded == 0) {
        std::fprintf(stderr, "av-sync-probe: no picture could be loaded from %s\n", o.data.c_str());
        return 1;
    }
    std::fprintf(stderr, "av-sync-probe: finding sharp changes from %.1f s to %.1f s...\n", o.from,
                 o.from + o.seconds);
    const std::vector<PixelEvent> events = findPixelEvents(o.from, o.from + o.seconds, o.pixels);
    std::vector<ScreenPoint> points;
    std::vector<int> pointOf;
    for (const PixelEvent& e : events) {
        const ScreenPoint p = {o.canvasLeft + int((e.x + 0.5) * o.canvasSize / kCanvasSize),
                               o.canvasTop + int((e.y + 0.5) * o.canvasSize / kCanvasSize)};
        size_t i = 0;
        while (i < points.size() && (points[i].x != p.x || points[i].y != p.y)) ++i;
        if (i == points.size()) points.push_back(p);
        pointOf.push_back(int(i));
    }
    std::fprintf(stderr, "av-sync-probe: %zu changes of %zu pixels\n", events.size(),
                 points.size());
    if (events.empty()) {
        std::fprintf(stderr, "av-sync-probe: no sharp change in that part of the show\n");
        return 1;
    }

    // Recorders first: a recorder that connects later changes the sink's latency under
    // the player.
    ClickRecorder* askedRecorder = nullptr;
    ClickRecorder* quietRecorder = nullptr;
    if (o.asked) askedRecorder = startClickRecorder(nullptr, kFragmentMs, reason);
    if (o.notAsked && (!o.asked || askedRecorder))
        quietRecorder = startClickRecorder(nullptr, kFragmentMs, reason, RecorderLatency::notAsked);
    if ((o.asked && !askedRecorder) || (o.notAsked && !quietRecorder)) {
        std::fprintf(stderr, "av-sync-probe: cannot record the default source: %s\n",
                     reason.c_str());
        return 1;
    }
    std::atomic<bool> stop{false};
    std::vector<ScreenChange> changes;
    int64_t readings = 0;
    bool polled = false;
    std::thread poller([&] { polled = pollScreen(points, stop, changes, readings, reason); });
    if (!o.ready.empty()) std::ofstream(o.ready) << "recording\n";
    std::this_thread::sleep_for(std::chrono::duration<double>(o.seconds));
    SeenChanges seen;
    seen.endNs = double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count());
    stop = true;
    poller.join();

    double jitterMs = 0;
    SinkLatencyLog askedSink, quietSink;
    std::vector<int64_t> askedLeft, quietLeft;
    if (askedRecorder) askedLeft = stopClickRecorder(askedRecorder, jitterMs, &askedSink);
    if (quietRecorder) quietLeft = stopClickRecorder(quietRecorder, jitterMs, &quietSink);
    if (!polled) {
        std::fprintf(stderr, "av-sync-probe: %s\n", reason.c_str());
        return 1;
    }
    seen.byPoint.resize(points.size());
    for (const ScreenChange& c : changes) seen.byPoint[size_t(c.point)].push_back(c);
    std::fprintf(stderr, "av-sync-probe: %.0f readings a second of each pixel\n",
                 double(readings) / o.seconds);
    size_t expected = 0;
    HeardClicks heard;
    if (askedRecorder) {
        const std::vector<Matched> m =
            matchFromStart(events, pointOf, seen, askedLeft, decoded, o.from, expected, heard);
        report(o, "asked", m, expected, askedSink);
        if (o.listEvents) listUnmatched(events, pointOf, seen, heard, m);
        if (!o.clockLog.empty()) reportClock(o, readClockLog(o.clockLog), heard);
    }
    if (quietRecorder) {
        const std::vector<Matched> m =
            matchFromStart(events, pointOf, seen, quietLeft, decoded, o.from, expected, heard);
        report(o, "not-asked", m, expected, quietSink);
        if (o.listEvents) listUnmatched(events, pointOf, seen, heard, m);
    }
    return 0;
}
