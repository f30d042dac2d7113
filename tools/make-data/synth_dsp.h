#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Building blocks of the soundtrack. Audio is 44.1 kHz stereo float, full scale 1.0.

constexpr int kSampleRate = 44100;
constexpr int kBeatsPerMinute = 150;
// 0.4 s per beat: exactly 17640 frames, so every 16th note starts on a whole frame.
constexpr int64_t kBeatFrames = kSampleRate * 60 / kBeatsPerMinute;

// First frame of a (fractional) beat; beat 0 is frame 0.
int64_t frameAt(double beat);
// Equal-tempered frequency of a MIDI note number (69 = A4 = 440 Hz).
double noteHz(double midi);

// One stereo signal of a fixed length; writes past either end are dropped.
struct StereoBus {
    std::vector<float> left, right;
    explicit StereoBus(int64_t frames)
        : left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames)) {}
    int64_t frames() const { return static_cast<int64_t>(left.size()); }
    // pan -1 is hard left, 0 centre (both sides at full value), +1 hard right.
    void add(int64_t frame, double value, double pan);
    void addSides(int64_t frame, double left, double right);
};

// Mono signal of a fixed length, e.g. an effect send.
struct MonoBus {
    std::vector<float> samples;
    explicit MonoBus(int64_t frames) : samples(static_cast<size_t>(frames)) {}
    void add(int64_t frame, double value) {
        if (frame >= 0 && frame < static_cast<int64_t>(samples.size()))
            samples[static_cast<size_t>(frame)] += static_cast<float>(value);
    }
};

// White noise in [-1, 1) from a fixed seed (xorshift32).
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed ? seed : 1u) {}
    double next();
};
// A seed that depends only on where an event starts and what it is, so every hit sounds
// the same whatever order the score is rendered in.
uint32_t eventSeed(int64_t frame, uint32_t salt);

// Band-limited sawtooth in [-1, 1] (polyBLEP); phase in cycles.
struct Saw {
    double phase = 0;
    double next(double hz);
};

// State-variable filter (trapezoidal); cutoff in Hz, resonance q > 0.
struct Svf {
    double ic1 = 0, ic2 = 0, a1 = 0, a2 = 0, a3 = 0, k = 1;
    void tune(double cutoffHz, double q);
    // Runs one sample; lowpass, bandpass and highpass outputs.
    void run(double x, double& low, double& band, double& high);
    double lowpass(double x);
    double bandpass(double x);
    double highpass(double x);
};

// Exponential decay exp(-t / seconds), advanced one frame per call of next().
struct Decay {
    double value = 1, factor = 1;
    explicit Decay(double seconds);
    double next() {
        double v = value;
        value *= factor;
        return v;
    }
};

// Gain that rises linearly over `attack` frames from frame 0 and falls linearly to 0 over
// the last `release` frames of a sound `length` frames long; 1 in between.
double edgeGain(int64_t i, int64_t length, int64_t attack, int64_t release);
// Frames in a number of seconds.
int64_t secondsToFrames(double seconds);
