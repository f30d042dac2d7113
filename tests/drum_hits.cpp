#include "drum_hits.h"

#include <cmath>
#include <random>

std::vector<int16_t> drumHits(double bpm, double firstHitSeconds, double seconds) {
    constexpr int kRate = 44100;
    std::vector<int16_t> pcm(size_t(seconds * kRate) * 2);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-1, 1);
    const double beat = 60 / bpm;
    for (size_t i = 0; i < pcm.size() / 2; ++i) {
        const double t = double(i) / kRate;
        double since = std::fmod(t - firstHitSeconds, beat);
        if (since < 0) since += beat;
        const double hit = std::exp(-since * 25) * (8000 * std::sin(6.2832 * 60 * since) +
                                                    3000 * noise(random) * std::exp(-since * 200));
        const double value = hit + 400 * std::sin(6.2832 * 220 * t);
        pcm[2 * i] = pcm[2 * i + 1] = int16_t(value);
    }
    return pcm;
}
