#include "click_track.h"

#include "audio/mp3_decoder.h"

#include <cmath>
#include <cstdlib>

static constexpr int kRate = 44100;
static constexpr double kClickLevel = 24000;  // of 32767
static constexpr double kClickHertz = 3000;
static constexpr int kQuietFrames = kRate / 10;

std::vector<int16_t> makeClickTrack(double seconds) {
    const size_t frames = size_t(std::lround(seconds * kRate));
    std::vector<int16_t> pcm(frames * 2, 0);
    const size_t clickFrames = kRate / 1000;
    for (double at = kClickBeatSeconds; at < seconds; at += kClickBeatSeconds) {
        const size_t first = size_t(std::lround(at * kRate));
        for (size_t i = 0; i < clickFrames && first + i < frames; ++i) {
            // A sine burst starting at its peak, so the onset is one sharp sample.
            const double value =
                kClickLevel * std::cos(2.0 * 3.14159265358979 * kClickHertz * double(i) / kRate);
            pcm[(first + i) * 2] = pcm[(first + i) * 2 + 1] = int16_t(std::lround(value));
        }
    }
    return pcm;
}

std::vector<double> findClickOnsets(const int16_t* samples, size_t frames) {
    const double threshold = kClickLevel / 2;
    std::vector<double> onsets;
    size_t quiet = 0;
    for (size_t i = 0; i < frames; ++i) {
        const double level = std::abs(double(samples[i * 2]));
        if (level < threshold) {
            ++quiet;
            continue;
        }
        if (quiet >= size_t(kQuietFrames) && i > 0) {
            const double before = std::abs(double(samples[(i - 1) * 2]));
            onsets.push_back(double(i - 1) + (threshold - before) / (level - before));
        }
        quiet = 0;
    }
    return onsets;
}

std::vector<double> decodedClickSeconds(const std::string& path, std::string& reason) {
    Mp3Decoder* decoder = openMp3File(path.c_str(), reason);
    if (!decoder) return {};
    std::vector<int16_t> pcm;
    int16_t buffer[8192];
    while (size_t got = decodeMp3(decoder, reinterpret_cast<uint8_t*>(buffer), sizeof buffer))
        pcm.insert(pcm.end(), buffer, buffer + got / 2);
    closeMp3(decoder);
    std::vector<double> seconds;
    for (double frame : findClickOnsets(pcm.data(), pcm.size() / 2))
        seconds.push_back(frame / 44100.0);
    if (seconds.empty()) reason = "no click found in the decoded track";
    return seconds;
}
