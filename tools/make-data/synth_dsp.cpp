#include "synth_dsp.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Correction around a saw's wrap that removes most of its aliasing.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

}  // namespace

int64_t frameAt(double beat) {
    return static_cast<int64_t>(std::llround(beat * static_cast<double>(kBeatFrames)));
}

double noteHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

void StereoBus::add(int64_t frame, double value, double pan) {
    if (frame < 0 || frame >= frames()) return;
    size_t i = static_cast<size_t>(frame);
    left[i] += static_cast<float>(value * (pan > 0 ? 1 - pan : 1));
    right[i] += static_cast<float>(value * (pan < 0 ? 1 + pan : 1));
}

void StereoBus::addSides(int64_t frame, double l, double r) {
    if (frame < 0 || frame >= frames()) return;
    size_t i = static_cast<size_t>(frame);
    left[i] += static_cast<float>(l);
    right[i] += static_cast<float>(r);
}

double Noise::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state / 2147483648.0 - 1.0;
}

uint32_t eventSeed(int64_t frame, uint32_t salt) {
    uint64_t h =
        static_cast<uint64_t>(frame) * 0x9E3779B97F4A7C15ull + salt * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 29;
    return static_cast<uint32_t>(h) | 1u;
}

double Saw::next(double hz) {
    double dt = hz / kSampleRate;
    double value = 2 * phase - 1 - polyBlep(phase, dt);
    phase += dt;
    if (phase >= 1) phase -= 1;
    return value;
}

void Svf::tune(double cutoffHz, double q) {
    double fc = std::min(std::max(cutoffHz, 10.0), kSampleRate * 0.45);
    double g = std::tan(kPi * fc / kSampleRate);
    k = 1 / q;
    a1 = 1 / (1 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

void Svf::run(double x, double& low, double& band, double& high) {
    double v3 = x - ic2;
    double v1 = a1 * ic1 + a2 * v3;
    double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    low = v2;
    band = v1;
    high = x - k * v1 - v2;
}

double Svf::lowpass(double x) {
    double l, b, h;
    run(x, l, b, h);
    return l;
}

double Svf::bandpass(double x) {
    double l, b, h;
    run(x, l, b, h);
    return b;
}

double Svf::highpass(double x) {
    double l, b, h;
    run(x, l, b, h);
    return h;
}

Decay::Decay(double seconds) : factor(std::exp(-1.0 / (seconds * kSampleRate))) {}

double edgeGain(int64_t i, int64_t length, int64_t attack, int64_t release) {
    double g = 1;
    if (attack > 0 && i < attack) g = static_cast<double>(i) / attack;
    int64_t left = length - i;
    if (release > 0 && left < release) g = std::min(g, static_cast<double>(left) / release);
    return std::max(g, 0.0);
}

int64_t secondsToFrames(double seconds) {
    return static_cast<int64_t>(std::llround(seconds * kSampleRate));
}
