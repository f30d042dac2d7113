#include "beat_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kWindowSeconds = 0.010;
constexpr double kSlowestBpm = 60, kFastestBpm = 320, kSearchStepBpm = 0.05;
// A slower tempo wins when it explains the rises this nearly as well as the best.
constexpr double kSlowerTempoShare = 0.8;
// Chance coherence of noise lies near the median; a beat stands well above it.
constexpr double kConfidentCoherence = 0.2, kConfidentOverChance = 4;
constexpr double kWeakCoherence = 0.08, kWeakOverChance = 2.5;
// Beats that slide less than this per minute stay on the grid through the whole show
// (about 20 ms by its last change at 128.8 s).
constexpr double kOnGridDriftMsPerMinute = 10;
// A tempo whose coherence comes this close to the best one's is as good a fit.
constexpr double kSameTempoShare = 0.95;
// Within this share of a beat from half a beat, early and late are told by the silence.
constexpr double kHalfBeatShare = 0.45;
constexpr double kSilenceSlackMs = 10;

// The mean phasor of the rises on a cycle of `seconds`.
std::complex<double> meanPhasor(const OnsetEnvelope& envelope, double seconds) {
    const double turn = kTwoPi * envelope.stepSeconds / seconds;
    const std::complex<double> step(std::cos(turn), -std::sin(turn));
    std::complex<double> phasor(1, 0), sum(0, 0);
    double total = 0;
    for (size_t k = 0; k < envelope.rise.size(); ++k) {
        sum += envelope.rise[k] * phasor;
        total += envelope.rise[k];
        phasor *= step;
        // The recurrence drifts off the unit circle by rounding; pull it back now and then.
        if ((k & 1023) == 1023) phasor /= std::abs(phasor);
    }
    return total > 0 ? sum / total : std::complex<double>(0, 0);
}

// The peak of the coherence near bpm, to a small part of the search step.
double refineTempo(const OnsetEnvelope& coarse, double bpm) {
    double best = bpm, bestValue = gridCoherence(coarse, bpm);
    for (double step = kSearchStepBpm / 2; step > 1e-4; step /= 2) {
        for (double candidate : {best - step, best + step}) {
            const double value = gridCoherence(coarse, candidate);
            if (value > bestValue) {
                best = candidate;
                bestValue = value;
            }
        }
    }
    return best;
}

// The member of the show's family (half, same, double) nearest to bpm.
double nearestGridTempo(double bpm, double show) {
    double nearest = show;
    for (double member : {show / 2, show * 2})
        if (std::fabs(std::log(bpm / member)) < std::fabs(std::log(bpm / nearest)))
            nearest = member;
    return nearest;
}

}  // namespace

OnsetEnvelope onsetEnvelope(const std::vector<int16_t>& interleaved, int channels, int rate) {
    OnsetEnvelope envelope;
    if (channels <= 0 || rate < 1000) return envelope;
    const size_t frames = interleaved.size() / size_t(channels);
    const size_t step = size_t(std::lround(rate / 1000.0));
    const size_t window = size_t(std::lround(rate * kWindowSeconds));
    envelope.stepSeconds = double(step) / rate;
    // Energy of the channels' sum, as prefix sums: exact in 64 bits for any file the reader
    // accepts (each term below 2^32 for stereo, at most 2^31 frames).
    std::vector<uint64_t> energyBefore(frames + 1, 0);
    for (size_t i = 0; i < frames; ++i) {
        int64_t mono = 0;
        for (int c = 0; c < channels; ++c) mono += interleaved[i * size_t(channels) + size_t(c)];
        energyBefore[i + 1] = energyBefore[i] + uint64_t(mono * mono);
    }
    auto windowEnergy = [&](size_t centre) {
        const size_t from = centre > window / 2 ? centre - window / 2 : 0;
        const size_t to = std::min(frames, centre - window / 2 + window);
        return from < to ? double(energyBefore[to] - energyBefore[from]) : 0.0;
    };
    double previous = 0;
    for (size_t centre = 0; centre < frames; centre += step) {
        const double energy = windowEnergy(centre);
        envelope.rise.push_back(std::max(0.0, energy - previous));
        previous = energy;
    }
    return envelope;
}

OnsetEnvelope coarserEnvelope(const OnsetEnvelope& envelope, size_t factor) {
    OnsetEnvelope coarse;
    coarse.stepSeconds = envelope.stepSeconds * double(factor);
    for (size_t k = 0; k < envelope.rise.size(); k += factor) {
        double sum = 0;
        for (size_t j = k; j < std::min(envelope.rise.size(), k + factor); ++j)
            sum += envelope.rise[j];
        coarse.rise.push_back(sum);
    }
    return coarse;
}

double gridCoherence(const OnsetEnvelope& envelope, double beatsPerMinute) {
    return std::abs(meanPhasor(envelope, 60.0 / beatsPerMinute));
}

double gridOffsetMs(const OnsetEnvelope& envelope, double beatsPerMinute) {
    // The rises folded onto one beat, in bins of one step: the beat is where the sound
    // rises most steeply, which a mean over the whole cycle would pull towards echoes and
    // slow swells between the beats.
    const double beatSeconds = 60.0 / beatsPerMinute;
    const size_t bins = size_t(std::ceil(beatSeconds / envelope.stepSeconds));
    std::vector<double> folded(bins, 0);
    for (size_t k = 0; k < envelope.rise.size(); ++k) {
        const double at = std::fmod(double(k) * envelope.stepSeconds, beatSeconds);
        const double bin = at / beatSeconds * double(bins);
        const size_t low = size_t(bin) % bins;
        const double share = bin - std::floor(bin);
        folded[low] += envelope.rise[k] * (1 - share);
        folded[(low + 1) % bins] += envelope.rise[k] * share;
    }
    const size_t peak = size_t(std::max_element(folded.begin(), folded.end()) - folded.begin());
    // The peak's own place between its neighbours, by the parabola through the three.
    const double left = folded[(peak + bins - 1) % bins], right = folded[(peak + 1) % bins];
    const double curve = left - 2 * folded[peak] + right;
    const double between = curve < 0 ? 0.5 * (left - right) / curve : 0;
    const double beatMs = beatSeconds * 1000;
    double offset = (double(peak) + between) / double(bins) * beatMs;
    if (offset >= beatMs / 2) offset -= beatMs;
    return offset;
}

TempoFit fitTempo(const OnsetEnvelope& coarse) {
    TempoFit fit;
    std::vector<double> tempos, values;
    for (double bpm = kSlowestBpm; bpm <= kFastestBpm; bpm += kSearchStepBpm) {
        tempos.push_back(bpm);
        values.push_back(gridCoherence(coarse, bpm));
    }
    const size_t best = size_t(std::max_element(values.begin(), values.end()) - values.begin());
    if (coarse.rise.empty() || values[best] <= 0) return fit;
    double bpm = refineTempo(coarse, tempos[best]);
    // A pulse of tempo T lines up on 2T, 3T, 4T too: take the slowest that does nearly as well.
    const double bestValue = gridCoherence(coarse, bpm);
    for (int divisor : {4, 3, 2}) {
        const double slower = refineTempo(coarse, bpm / divisor);
        if (slower >= kSlowestBpm &&
            gridCoherence(coarse, slower) >= kSlowerTempoShare * bestValue) {
            bpm = slower;
            break;
        }
    }
    fit.beatsPerMinute = bpm;
    fit.coherence = gridCoherence(coarse, bpm);
    std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
    fit.typical = values[values.size() / 2];
    return fit;
}

BeatVerdict judgeBeat(const OnsetEnvelope& envelope, double showBeatsPerMinute,
                      double leadingSilenceSeconds) {
    BeatVerdict verdict;
    const size_t factor = size_t(std::lround(0.010 / envelope.stepSeconds));
    const TempoFit tempo = fitTempo(coarserEnvelope(envelope, std::max<size_t>(factor, 1)));
    const bool weak =
        tempo.coherence >= kWeakCoherence && tempo.coherence >= kWeakOverChance * tempo.typical;
    if (!weak) return verdict;
    verdict.confident = tempo.coherence >= kConfidentCoherence &&
                        tempo.coherence >= kConfidentOverChance * tempo.typical;
    verdict.beatsPerMinute = tempo.beatsPerMinute;
    const double nominal = nearestGridTempo(tempo.beatsPerMinute, showBeatsPerMinute);
    verdict.driftMsPerMinute =
        60000.0 * std::fabs(nominal - tempo.beatsPerMinute) / tempo.beatsPerMinute;
    // A short track cannot tell tempos apart finely: one that the show's tempo explains
    // nearly as well is the show's, within what the track can tell.
    const OnsetEnvelope coarse = coarserEnvelope(envelope, std::max<size_t>(factor, 1));
    if (verdict.driftMsPerMinute > kOnGridDriftMsPerMinute &&
        gridCoherence(coarse, nominal) >= kSameTempoShare * tempo.coherence) {
        verdict.beatsPerMinute = nominal;
        verdict.driftMsPerMinute = 0;
    }
    if (verdict.driftMsPerMinute > kOnGridDriftMsPerMinute) {
        verdict.kind = BeatVerdict::OtherTempo;
        return verdict;
    }
    verdict.kind = BeatVerdict::OnGrid;
    // Every beat of a slower pulse lies on a show beat; a faster one is judged on its own.
    const double grid = std::max(nominal, showBeatsPerMinute);
    const double beatMs = 60000.0 / grid;
    double offset = gridOffsetMs(envelope, grid);
    if (std::fabs(offset) > kHalfBeatShare * beatMs) {
        const double late = offset > 0 ? offset : offset + beatMs;
        offset = leadingSilenceSeconds * 1000 + kSilenceSlackMs >= late ? late : late - beatMs;
    }
    verdict.offsetMs = offset;
    return verdict;
}
