#include "fit_music.h"

#include "assets/printable.h"
#include "audio/mp3_decoder.h"
#include "audio/stream.h"
#include "beat_analysis.h"
#include "demo/frame_time.h"
#include "mp3_encoder.h"
#include "music_track.h"
#include "pending_file.h"
#include "sound_levels.h"

#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace {

// Longest track fitted: its samples are held whole, 10.6 MB a minute.
constexpr double kMaxFitSeconds = 20 * 60;
// The copy must land this close to the show's beats.
constexpr double kFittedMs = 2;

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first, second;
    if (a == b) return true;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

BeatVerdict measure(const std::vector<int16_t>& samples) {
    const SoundLevels levels = soundLevels(samples, kStreamChannels, kStreamRate);
    return judgeBeat(onsetEnvelope(samples, kStreamChannels, kStreamRate), kBeatsPerMinute,
                     levels.leadingSilenceSeconds);
}

// The samples moved by offsetMs: late beats lose the start, early ones get silence first.
std::vector<int16_t> shifted(const std::vector<int16_t>& samples, double offsetMs) {
    const long frames = std::lround(offsetMs * kStreamRate / 1000);
    const size_t values = size_t(std::labs(frames)) * kStreamChannels;
    if (frames >= 0)
        return std::vector<int16_t>(samples.begin() + long(std::min(values, samples.size())),
                                    samples.end());
    std::vector<int16_t> moved(values, 0);
    moved.insert(moved.end(), samples.begin(), samples.end());
    return moved;
}

// The beat of the encoded copy, read back with the intro's reader.
bool measureCopy(const std::vector<uint8_t>& mp3, BeatVerdict& beat, std::string& reason) {
    Mp3Decoder* decoder = openMp3(mp3, reason);
    if (!decoder) return false;
    std::vector<int16_t> samples;
    uint8_t piece[1 << 16];
    for (size_t got; (got = decodeMp3(decoder, piece, sizeof piece)) > 0;)
        samples.insert(samples.end(), reinterpret_cast<int16_t*>(piece),
                       reinterpret_cast<int16_t*>(piece + got));
    closeMp3(decoder);
    beat = measure(samples);
    return true;
}

}  // namespace

bool fitMusic(const std::string& inPath, const std::string& outPath, std::string& error) {
    const std::string in = printable(inPath), out = printable(outPath);
    if (sameFile(inPath, outPath)) {
        error = "--fit-music " + in + ": the output is the input; name another file";
        return false;
    }
    DecodedMusic music;
    std::string reason;
    if (!decodeMusic(inPath, kMaxFitSeconds, music, reason)) {
        error = "cannot read " + in + ": " + reason;
        return false;
    }
    if (music.seconds > kMaxFitSeconds) {
        error = "cannot fit " + in + ": longer than " + std::to_string(int(kMaxFitSeconds / 60)) +
                " minutes";
        return false;
    }
    const BeatVerdict before = measure(music.samples);
    if (before.kind != BeatVerdict::OnGrid || !before.confident) {
        char why[160];
        if (before.kind == BeatVerdict::OtherTempo)
            std::snprintf(why, sizeof why, "its %.1f BPM is not the show's %.0f",
                          before.beatsPerMinute, kBeatsPerMinute);
        else
            std::snprintf(why, sizeof why, "no confident beat found in it");
        error = "cannot fit " + in + ": " + why;
        return false;
    }
    std::vector<uint8_t> mp3;
    if (!encodeMp3(shifted(music.samples, before.offsetMs), mp3, reason)) {
        error = "cannot write " + out + ": " + reason;
        return false;
    }
    BeatVerdict after;
    if (!measureCopy(mp3, after, reason) || after.kind != BeatVerdict::OnGrid ||
        std::fabs(after.offsetMs) > kFittedMs) {
        error = "cannot fit " + in + ": the copy's beats did not land on the show's";
        return false;
    }
    PendingFile file;
    if (!file.create(outPath, error) || !file.write(mp3.data(), mp3.size(), error) ||
        !file.commit(error))
        return false;
    std::printf(
        "fit-music: beats landed %.1f ms %s the show's; %s %.1f ms; the copy's are "
        "off by %.1f ms: wrote %s\n",
        std::fabs(before.offsetMs), before.offsetMs < 0 ? "before" : "after",
        before.offsetMs < 0 ? "silence added before the start:" : "start trimmed by",
        std::fabs(before.offsetMs), std::fabs(after.offsetMs), out.c_str());
    return true;
}
