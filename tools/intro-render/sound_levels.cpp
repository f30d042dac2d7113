#include "sound_levels.h"

#include <cstdlib>

namespace {

// -60 dBFS: quieter than this is silence.
constexpr int kSilenceLevel = 33;
// One sample at full scale happens in loud music; a run of them is a flattened peak.
constexpr size_t kClipRun = 3;

bool atFullScale(int16_t sample) {
    return sample >= 32767 || sample <= -32767;
}

}  // namespace

SoundLevels soundLevels(const std::vector<int16_t>& interleaved, int channels, int rate) {
    SoundLevels levels;
    if (channels <= 0 || rate <= 0) return levels;
    const size_t frames = interleaved.size() / size_t(channels);
    levels.leadingSilenceSeconds = double(frames) / rate;
    std::vector<size_t> runs(size_t(channels), 0);  // full-scale samples in a row, per channel
    for (size_t i = 0; i < frames; ++i) {
        for (size_t c = 0; c < runs.size(); ++c) {
            const int16_t sample = interleaved[i * runs.size() + c];
            if (levels.silent && std::abs(int(sample)) > kSilenceLevel) {
                levels.silent = false;
                levels.leadingSilenceSeconds = double(i) / rate;
            }
            runs[c] = atFullScale(sample) ? runs[c] + 1 : 0;
            if (runs[c] < kClipRun) continue;
            if (levels.clippedSamples == 0)
                levels.firstClipSeconds = double(i + 1 - kClipRun) / rate;
            // The run's first samples count once it is long enough.
            levels.clippedSamples += runs[c] == kClipRun ? kClipRun : 1;
        }
    }
    return levels;
}
