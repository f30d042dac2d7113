#include "synth_instruments.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 2 * 3.14159265358979323846;
// Filters sweep; their coefficients are refreshed this often (frames).
constexpr int64_t kTuneEvery = 32;

// Ramp lengths that keep every edge click-free: 0.5 ms and 4 ms.
constexpr int64_t kDrumAttack = 22;
constexpr int64_t kEdge = 176;

}  // namespace

void addKick(StereoBus& bus, int64_t start, double gain) {
    int64_t length = secondsToFrames(0.45);
    double phase = 0;
    Decay sweep(0.035), punch(0.006), body(0.23), clickDecay(0.0015);
    for (int64_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        // Pitch drops from about 230 Hz to 48 Hz: a short punch, then the body.
        double hz = 48 + 120 * sweep.next() + 60 * punch.next();
        double tone = std::sin(kTwoPi * phase) * body.next();
        phase += hz / kSampleRate;
        double click =
            clickDecay.value > 1e-6 ? std::sin(kTwoPi * 1800 * t) * clickDecay.value * 0.25 : 0;
        clickDecay.next();
        double v = (tone + click) * edgeGain(i, length, kDrumAttack, kEdge * 4);
        bus.add(start + i, v * gain, 0);
    }
}

void addSnare(StereoBus& bus, int64_t start, double gain) {
    int64_t length = secondsToFrames(0.3);
    Noise noise(eventSeed(start, 11));
    Svf band;
    band.tune(2600, 0.8);
    Decay toneDecay(0.045), rattleDecay(0.11);
    for (int64_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double tone = std::sin(kTwoPi * 185 * t) * toneDecay.next() * 0.5;
        double rattle = band.bandpass(noise.next()) * rattleDecay.next() * 1.6;
        double v = (tone + rattle) * edgeGain(i, length, kDrumAttack, kEdge);
        bus.add(start + i, v * gain, -0.1);
    }
}

void addClap(StereoBus& bus, int64_t start, double gain) {
    int64_t length = secondsToFrames(0.35);
    Noise noise(eventSeed(start, 12));
    Svf band;
    band.tune(1400, 1.4);
    // Three quick hand claps 9 ms apart, then the room from 18 ms on.
    const int64_t clapGap = secondsToFrames(0.009);
    Decay claps[3] = {Decay(0.004), Decay(0.004), Decay(0.004)};
    Decay room(0.09);
    for (int64_t i = 0; i < length; ++i) {
        double env = 0;
        for (int k = 0; k < 3; ++k)
            if (i >= k * clapGap) env += claps[k].next();
        if (i >= 2 * clapGap) env += 0.7 * room.next();
        double v =
            band.bandpass(noise.next()) * env * 1.8 * edgeGain(i, length, kDrumAttack, kEdge);
        bus.add(start + i, v * gain, 0.1);
    }
}

void addHat(StereoBus& bus, int64_t start, double gain, bool open) {
    double decay = open ? 0.16 : 0.03;
    int64_t length = secondsToFrames(open ? 0.5 : 0.12);
    Noise noise(eventSeed(start, open ? 14 : 13));
    Svf high;
    high.tune(7500, 0.7);
    Decay env(decay);
    for (int64_t i = 0; i < length; ++i) {
        double v =
            high.highpass(noise.next()) * env.next() * edgeGain(i, length, kDrumAttack, kEdge);
        bus.add(start + i, v * gain, open ? -0.3 : 0.3);
    }
}

void addCrash(StereoBus& bus, int64_t start, double gain) {
    int64_t length = secondsToFrames(3.0);
    Noise noiseL(eventSeed(start, 15)), noiseR(eventSeed(start, 16));
    Svf highL, highR;
    highL.tune(4500, 0.6);
    highR.tune(4700, 0.6);
    Decay strike(0.12), ring(0.9);
    for (int64_t i = 0; i < length; ++i) {
        double env = (0.6 * strike.next() + 0.4 * ring.next()) *
                     edgeGain(i, length, kDrumAttack, kEdge * 20);
        bus.add(start + i, highL.highpass(noiseL.next()) * env * gain, -1);
        bus.add(start + i, highR.highpass(noiseR.next()) * env * gain, 1);
    }
}

void addTom(StereoBus& bus, int64_t start, double gain, double hz) {
    int64_t length = secondsToFrames(0.45);
    double phase = 0;
    Decay sweep(0.03), body(0.16);
    for (int64_t i = 0; i < length; ++i) {
        double f = hz * (1 + 0.6 * sweep.next());
        double v = std::sin(kTwoPi * phase) * body.next() * edgeGain(i, length, kDrumAttack, kEdge);
        phase += f / kSampleRate;
        bus.add(start + i, v * gain, (hz - 110) / 150);
    }
}

void addRiser(StereoBus& bus, int64_t start, int64_t length, double gain) {
    Noise noiseL(eventSeed(start, 17)), noiseR(eventSeed(start, 18));
    Svf bandL, bandR;
    for (int64_t i = 0; i < length; ++i) {
        double x = static_cast<double>(i) / length;
        if (i % kTuneEvery == 0) {
            double cutoff = 300 * std::pow(30.0, x);
            bandL.tune(cutoff, 2.0);
            bandR.tune(cutoff * 1.05, 2.0);
        }
        double env = x * x * edgeGain(i, length, kEdge, secondsToFrames(0.02)) * 3;
        bus.add(start + i, bandL.bandpass(noiseL.next()) * env * gain, -1);
        bus.add(start + i, bandR.bandpass(noiseR.next()) * env * gain, 1);
    }
}

void addBass(StereoBus& bus, int64_t start, int64_t length, int note, double gain) {
    int64_t release = secondsToFrames(0.012);
    int64_t total = length + release;
    double hz = noteHz(note);
    Saw saw;
    double subPhase = 0;
    Svf filter;
    Decay sweep(0.07), pluck(0.08);
    for (int64_t i = 0; i < total; ++i) {
        double sweepNow = sweep.next();
        if (i % kTuneEvery == 0) filter.tune(220 + 1900 * sweepNow, 1.1);
        double tone = filter.lowpass(saw.next(hz)) * 0.8 + std::sin(kTwoPi * subPhase) * 0.6;
        subPhase += hz / kSampleRate;
        if (subPhase >= 1) subPhase -= 1;
        double env =
            (0.7 + 0.3 * pluck.next()) * edgeGain(i, total, secondsToFrames(0.003), release);
        bus.add(start + i, tone * env * gain, 0);
    }
}

void addLead(StereoBus& bus, MonoBus& echo, int64_t start, int64_t length, int note, double gain) {
    int64_t release = secondsToFrames(0.04);
    int64_t total = length + release;
    double hz = noteHz(note);
    Saw sawA, sawB;
    sawB.phase = 0.37;
    Svf filter;
    Decay sweep(0.15), pluck(0.1);
    for (int64_t i = 0; i < total; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double sweepNow = sweep.next();
        if (i % kTuneEvery == 0) filter.tune(1100 + 4200 * sweepNow, 1.4);
        // Vibrato fades in after the attack.
        double vib =
            1 + 0.003 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, std::max(0.0, (t - 0.15) / 0.2));
        double tone =
            filter.lowpass(sawA.next(hz * 1.004 * vib) + sawB.next(hz * 0.996 * vib)) * 0.5;
        double v = tone * (0.8 + 0.2 * pluck.next()) *
                   edgeGain(i, total, secondsToFrames(0.005), release) * gain;
        bus.add(start + i, v, -0.15);
        echo.add(start + i, v);
    }
}

void addPad(StereoBus& bus, int64_t start, int64_t length, const int* notes, int count,
            double gain) {
    int64_t attack = secondsToFrames(0.35);
    int64_t release = secondsToFrames(0.5);
    int64_t total = length + release;
    // Three detuned saws per note, spread left, centre and right. The filter is linear,
    // so each side's saws share one filter.
    constexpr int kMaxNotes = 4;
    constexpr int kSides = 3;
    const double detune[kSides] = {0.9948, 1.0, 1.0052};
    const double toLeft[kSides] = {1, 1, 0.3}, toRight[kSides] = {0.3, 1, 1};
    if (count > kMaxNotes) count = kMaxNotes;
    Saw saws[kMaxNotes][kSides];
    double hz[kMaxNotes][kSides];
    for (int n = 0; n < count; ++n)
        for (int v = 0; v < kSides; ++v) {
            saws[n][v].phase = (v + n) * 0.29 - static_cast<int>((v + n) * 0.29);
            hz[n][v] = noteHz(notes[n]) * detune[v];
        }
    Svf filters[kSides];
    for (Svf& f : filters) f.tune(1500, 0.7);
    for (int64_t i = 0; i < total; ++i) {
        double env = edgeGain(i, total, attack, release) * gain * 0.33;
        double left = 0, right = 0;
        for (int v = 0; v < kSides; ++v) {
            double sum = 0;
            for (int n = 0; n < count; ++n) sum += saws[n][v].next(hz[n][v]);
            double s = filters[v].lowpass(sum) * env;
            left += s * toLeft[v];
            right += s * toRight[v];
        }
        bus.addSides(start + i, left, right);
    }
}

void addStab(StereoBus& bus, MonoBus& echo, int64_t start, const int* notes, int count,
             double gain) {
    int64_t length = secondsToFrames(0.6);
    for (int n = 0; n < count; ++n) {
        double hz = noteHz(notes[n]);
        Saw sawA, sawB;
        sawB.phase = 0.5;
        Svf filter;
        Decay sweep(0.07), body(0.16);
        for (int64_t i = 0; i < length; ++i) {
            double sweepNow = sweep.next();
            if (i % kTuneEvery == 0) filter.tune(500 + 5500 * sweepNow, 1.2);
            double tone = filter.lowpass(sawA.next(hz * 1.006) + sawB.next(hz * 0.994)) * 0.5;
            double v =
                tone * body.next() * edgeGain(i, length, secondsToFrames(0.002), kEdge * 4) * gain;
            bus.add(start + i, v, (n - 1) * 0.4);
            echo.add(start + i, v * 0.6);
        }
    }
}

void addBell(StereoBus& bus, MonoBus& echo, int64_t start, int note, double gain, double pan) {
    int64_t length = secondsToFrames(1.8);
    double hz = noteHz(note);
    Decay brightness(0.25), body(0.55);
    for (int64_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        // Two-operator FM: the bright strike mellows as the index decays.
        double index = 2.2 * brightness.next();
        double v = std::sin(kTwoPi * hz * t + index * std::sin(kTwoPi * hz * 3.5 * t));
        v *= body.next() * edgeGain(i, length, secondsToFrames(0.002), kEdge * 10) * gain;
        bus.add(start + i, v, pan);
        echo.add(start + i, v * 0.8);
    }
}
