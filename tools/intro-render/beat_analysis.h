#pragma once
// Where a track's beats fall against the show's: pure functions over decoded samples, so
// they are tested on made signals without files.
#include <cstddef>
#include <cstdint>
#include <vector>

// How sharply the sound rises, one value per step: the rise of the energy in a 10 ms
// window centred on each step (falls count as 0). The centroid of the rise of a sustained
// sound is its start, whatever its alignment to the steps.
struct OnsetEnvelope {
    double stepSeconds = 0;  // time of value k is k * stepSeconds after the first sample
    std::vector<double> rise;
};

// The envelope of interleaved 16-bit audio (channels mixed), at about 1 ms steps.
OnsetEnvelope onsetEnvelope(const std::vector<int16_t>& interleaved, int channels, int rate);

// The same envelope summed over groups of `factor` steps (10 ms steps for the tempo).
OnsetEnvelope coarserEnvelope(const OnsetEnvelope& envelope, size_t factor);

// How well the rises line up on a grid of `beatsPerMinute`: the length of their mean
// phasor on the grid's cycle, from 0 (no relation) to 1 (every rise on the grid).
double gridCoherence(const OnsetEnvelope& envelope, double beatsPerMinute);

// Where the sound rises most steeply on that grid: milliseconds after the grid's beats,
// from minus half a beat up to half a beat.
double gridOffsetMs(const OnsetEnvelope& envelope, double beatsPerMinute);

// The tempo the track fits best from 60 to 320 beats per minute, preferring the slowest
// that explains the rises nearly as well (a pulse on every other beat of 150 is 75, not
// 150); 0 when nothing rises.
struct TempoFit {
    double beatsPerMinute = 0;
    double coherence = 0;  // gridCoherence at that tempo
    double typical = 0;    // the median coherence over the searched tempos: chance level
};
TempoFit fitTempo(const OnsetEnvelope& coarse);

// The track's beats against the show's grid of showBeatsPerMinute.
struct BeatVerdict {
    enum Kind { NoBeat, OtherTempo, OnGrid } kind = NoBeat;
    double beatsPerMinute = 0;
    double driftMsPerMinute = 0;  // how far the beats slide against the show's per minute
    double offsetMs = 0;          // OnGrid: the track's beats after the show's
    bool confident = false;
};

// The whole judgement from the fine envelope. leadingSilenceSeconds decides an offset of
// half a beat, which the rises alone cannot tell early from late: late when the track's
// start holds that much silence to trim.
BeatVerdict judgeBeat(const OnsetEnvelope& envelope, double showBeatsPerMinute,
                      double leadingSilenceSeconds);
