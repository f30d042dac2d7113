#include <algorithm>
#include <cmath>

#include "song.h"

namespace {

// Level of the pitched parts against the drums (about +5 dB).
constexpr double kMusicLevel = 1.8;
// Music dips by this fraction under each kick and recovers within about a beat.
constexpr double kDuckDepth = 0.5;
constexpr double kDuckAttackSeconds = 0.002;
constexpr double kDuckRecoverSeconds = 0.09;
// Stereo echo: a dotted 8th (3 sixteenths) apart, alternating sides.
constexpr int64_t kEchoFrames = 3 * kBeatFrames / 4;
constexpr double kEchoFeedback = 0.45;
constexpr double kEchoLevel = 0.35;
// Final peak: -3 dBFS, leaving room for the MP3 encoder's overshoot.
constexpr double kPeakTarget = 0.7079;
// The loudest moment is driven this far into the soft knee, which lifts the body of the
// mix by about 3 dB and rounds off only the rare stacked peaks.
constexpr double kDrive = 1.4;
constexpr double kKnee = 0.6;
// The last beats fade to exact silence.
constexpr int kFadeBeats = 4;

// How far the music is pulled down a number of frames after a kick, 0 to 1; after two
// beats it is negligible (below 1e-8) and taken as 0.
double duckDip(int64_t sinceKick) {
    if (sinceKick >= 2 * kBeatFrames) return 0;
    double attack = kDuckAttackSeconds * kSampleRate, recover = kDuckRecoverSeconds * kSampleRate;
    double t = static_cast<double>(sinceKick);
    return t < attack ? t / attack : std::exp(-(t - attack) / recover);
}

std::vector<float> duckGains(std::vector<int64_t> kicks) {
    std::sort(kicks.begin(), kicks.end());
    std::vector<float> gain(static_cast<size_t>(kSongFrames), 1.0f);
    size_t next = 0;
    int64_t last = -1, before = -1;
    for (int64_t n = 0; n < kSongFrames; ++n) {
        while (next < kicks.size() && kicks[next] <= n) {
            before = last;
            last = kicks[next++];
        }
        if (last < 0) continue;
        // The previous kick's dip fades on while the new one sets in, so the gain never jumps.
        double dip = duckDip(n - last);
        if (before >= 0) dip = std::max(dip, duckDip(n - before));
        gain[static_cast<size_t>(n)] = static_cast<float>(1 - kDuckDepth * dip);
    }
    return gain;
}

// Soft knee: linear up to kKnee, then bending smoothly towards 1.
double softClip(double x) {
    double a = std::fabs(x);
    if (a <= kKnee) return x;
    double bent = kKnee + (1 - kKnee) * std::tanh((a - kKnee) / (1 - kKnee));
    return x < 0 ? -bent : bent;
}

}  // namespace

std::vector<int16_t> mixSong(const SongParts& parts) {
    size_t frames = static_cast<size_t>(kSongFrames);
    std::vector<float> duck = duckGains(parts.kicks);

    // Ping-pong echo of the ducked send: left after one delay, right after two, and so on.
    std::vector<float> echoLeft(frames), echoRight(frames);
    size_t delay = static_cast<size_t>(kEchoFrames);
    for (size_t n = delay; n < frames; ++n) {
        echoLeft[n] = static_cast<float>(parts.echo.samples[n - delay] * duck[n - delay] +
                                         kEchoFeedback * echoRight[n - delay]);
        echoRight[n] = echoLeft[n - delay];
    }

    // Full-scale float is far finer than the 16-bit result.
    std::vector<float> left(frames), right(frames);
    double dcInL = 0, dcOutL = 0, dcInR = 0, dcOutR = 0;
    double peak = 0;
    for (size_t n = 0; n < frames; ++n) {
        double l = parts.drums.left[n] + (parts.music.left[n] + kEchoLevel * echoLeft[n]) *
                                             kMusicLevel * static_cast<double>(duck[n]);
        double r = parts.drums.right[n] + (parts.music.right[n] + kEchoLevel * echoRight[n]) *
                                              kMusicLevel * static_cast<double>(duck[n]);
        // One-pole DC blocker (corner about 3.5 Hz).
        dcOutL = l - dcInL + 0.9995 * dcOutL;
        dcInL = l;
        dcOutR = r - dcInR + 0.9995 * dcOutR;
        dcInR = r;
        left[n] = static_cast<float>(dcOutL);
        right[n] = static_cast<float>(dcOutR);
        peak = std::max(peak, std::max(std::fabs(dcOutL), std::fabs(dcOutR)));
    }

    double drive = peak > 0 ? kDrive / peak : 0;
    double scale = kPeakTarget / softClip(kDrive);
    int64_t fadeStart = kSongFrames - kFadeBeats * kBeatFrames;
    std::vector<int16_t> pcm(frames * 2);
    for (size_t n = 0; n < frames; ++n) {
        double g = scale;
        int64_t i = static_cast<int64_t>(n);
        if (i >= fadeStart)
            g *= static_cast<double>(kSongFrames - 1 - i) / (kSongFrames - 1 - fadeStart);
        double l = std::clamp(softClip(left[n] * drive) * g, -1.0, 1.0);
        double r = std::clamp(softClip(right[n] * drive) * g, -1.0, 1.0);
        pcm[2 * n] = static_cast<int16_t>(std::lround(l * 32767));
        pcm[2 * n + 1] = static_cast<int16_t>(std::lround(r * 32767));
    }
    return pcm;
}
