#include "check_findings.h"

#include "assets/printable.h"
#include "audio/stream.h"
#include "beat_analysis.h"
#include "demo/frame_time.h"
#include "demo/timeline.h"
#include "music_track.h"
#include "sound_levels.h"

#include <cmath>
#include <cstdio>

namespace {

// Beats this close to the show's are on time to the eye and ear.
constexpr double kOnTimeMs = 10;
// Silence shorter than this before the first sound is the encoder's or the mix's.
constexpr double kNotableSilenceSeconds = 0.010;

CheckFinding finding(CheckFinding::Level level, const char* format, double a, double b = 0,
                     double c = 0) {
    char text[200];
    std::snprintf(text, sizeof text, format, a, b, c);
    return {level, "music", text};
}

std::string beatText(const BeatVerdict& beat) {
    char text[200];
    const char* sureness = beat.confident ? "confident" : "not confident";
    if (beat.kind == BeatVerdict::OtherTempo) {
        std::snprintf(text, sizeof text,
                      "%.1f BPM, not the show's %.0f: its beats drift %.0f ms per minute "
                      "against the show's (%s)",
                      beat.beatsPerMinute, kBeatsPerMinute, beat.driftMsPerMinute, sureness);
        return text;
    }
    const long ms = std::lround(beat.offsetMs);
    std::snprintf(text, sizeof text, "beats land %ld ms %s the show's (%.1f BPM, %s)",
                  std::labs(ms), ms < 0 ? "before" : "after", beat.beatsPerMinute, sureness);
    return text;
}

void checkBeat(const DecodedMusic& music, const SoundLevels& levels, CheckFindings& findings) {
    const OnsetEnvelope envelope = onsetEnvelope(music.samples, kStreamChannels, kStreamRate);
    const BeatVerdict beat = judgeBeat(envelope, kBeatsPerMinute, levels.leadingSilenceSeconds);
    if (beat.kind == BeatVerdict::NoBeat) {
        findings.push_back(finding(CheckFinding::Problem,
                                   "no steady beat found: cannot tell whether it follows the "
                                   "show's %.0f BPM",
                                   kBeatsPerMinute));
        return;
    }
    const bool onTime = beat.kind == BeatVerdict::OnGrid && std::fabs(beat.offsetMs) <= kOnTimeMs;
    findings.push_back(
        {onTime ? CheckFinding::Ok : CheckFinding::Problem, "music", beatText(beat)});
}

}  // namespace

CheckFinding unreadableMusic(const std::string& name, const std::string& reason) {
    return {CheckFinding::Problem, "music", "cannot read " + printable(name) + ": " + reason};
}

CheckFindings checkDecodedMusic(const DecodedMusic& music) {
    CheckFindings findings;
    const bool longEnough = music.seconds >= kShowEndSeconds;
    findings.push_back(finding(longEnough ? CheckFinding::Ok : CheckFinding::Problem,
                               longEnough ? "%.1f s long; the show needs %.1f s"
                                          : "%.1f s long, shorter than the show's %.1f s: the "
                                            "picture stops where the music ends",
                               music.seconds, kShowEndSeconds));
    if (music.fileRate != kStreamRate || music.fileChannels != kStreamChannels)
        findings.push_back(finding(CheckFinding::Note,
                                   music.fileChannels == 1
                                       ? "%.0f Hz mono; played converted to 44100 Hz stereo"
                                       : "%.0f Hz stereo; played converted to 44100 Hz stereo",
                                   music.fileRate));
    const SoundLevels levels = soundLevels(music.samples, kStreamChannels, kStreamRate);
    if (levels.silent) {
        findings.push_back(finding(CheckFinding::Problem,
                                   "silent: nothing above -60 dBFS in its first %.1f s",
                                   double(music.samples.size() / kStreamChannels) / kStreamRate));
        return findings;
    }
    if (levels.leadingSilenceSeconds >= kNotableSilenceSeconds)
        findings.push_back(finding(CheckFinding::Note, "%.0f ms of silence before the first sound",
                                   levels.leadingSilenceSeconds * 1000));
    if (levels.clippedSamples > 0)
        findings.push_back(finding(CheckFinding::Note,
                                   "%.0f samples clipped at full scale, the first at %.2f s",
                                   double(levels.clippedSamples), levels.firstClipSeconds));
    checkBeat(music, levels, findings);
    return findings;
}
