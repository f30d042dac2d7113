#include "song_score.h"

#include <cmath>

#include "synth_instruments.h"

namespace {

// The chords, voiced close together so the pad moves smoothly.
constexpr Chord kDMinor = {{62, 65, 69}, 38};
constexpr Chord kBFlat = {{62, 65, 70}, 34};
constexpr Chord kFMajor = {{60, 65, 69}, 41};
constexpr Chord kCMajor = {{60, 64, 67}, 36};
constexpr Chord kGMinor = {{62, 67, 70}, 43};
constexpr Chord kAMajor = {{61, 64, 69}, 33};

// A melody note: start and length in 16ths within a 16-beat phrase, and its MIDI note.
struct PhraseNote {
    int start, length, note;
};

// The hook: rising chord tones, one bar per chord.
constexpr PhraseNote kHook[] = {
    {0, 3, 69},  {3, 3, 74},  {6, 2, 77},  {8, 2, 76},  {10, 2, 74}, {12, 4, 69},
    {16, 3, 70}, {19, 3, 74}, {22, 2, 77}, {24, 4, 79}, {28, 2, 77}, {30, 2, 74},
    {32, 3, 72}, {35, 3, 77}, {38, 2, 81}, {40, 2, 79}, {42, 2, 77}, {44, 4, 76},
    {48, 3, 76}, {51, 3, 79}, {54, 2, 84}, {56, 2, 79}, {58, 2, 76}, {60, 4, 74},
};
// The answer: straight 8ths climbing to a held top note in every bar.
constexpr PhraseNote kAnswer[] = {
    {0, 2, 74},  {2, 2, 74},  {4, 2, 77},  {6, 4, 81},  {10, 2, 79}, {12, 2, 77}, {14, 2, 76},
    {16, 2, 74}, {18, 2, 74}, {20, 2, 77}, {22, 4, 82}, {26, 2, 81}, {28, 2, 79}, {30, 2, 77},
    {32, 2, 72}, {34, 2, 77}, {36, 2, 81}, {38, 4, 84}, {42, 2, 81}, {44, 2, 79}, {46, 2, 77},
    {48, 2, 76}, {50, 2, 79}, {52, 6, 84}, {58, 2, 82}, {60, 4, 81},
};

constexpr double kPhraseBeats = 16;
constexpr int64_t kSixteenthFrames = kBeatFrames / 4;

// Calls emit(beat, index) for the points offset + k * step that lie in [from, to).
template <typename Emit>
void forGrid(double from, double to, double step, double offset, Emit emit) {
    double k0 = std::ceil((from - offset) / step - 1e-9);
    for (int k = static_cast<int>(k0);; ++k) {
        double beat = offset + k * step;
        if (beat >= to) break;
        emit(beat, k);
    }
}

bool sameChord(const Chord& a, const Chord& b) {
    return a.bass == b.bass && a.pad[0] == b.pad[0] && a.pad[1] == b.pad[1] && a.pad[2] == b.pad[2];
}

}  // namespace

Chord chordAt(double beat) {
    // The break turns to G minor and ends on the dominant; the return lands on D minor.
    if (beat >= 240 && beat < 256) {
        const Chord breakChords[4] = {kGMinor, kDMinor, kBFlat, kAMajor};
        return breakChords[static_cast<int>((beat - 240) / 4)];
    }
    if (beat >= 256 && beat < 261) return kAMajor;
    if (beat >= 261 && beat < 264) return kDMinor;
    // The outro: dominant before the credits, then D minor to the end.
    if (beat >= 312 && beat < 314) return kAMajor;
    if (beat >= 314) return kDMinor;
    const Chord cycle[4] = {kDMinor, kBFlat, kFMajor, kCMajor};
    double inCycle = std::fmod(beat, kPhraseBeats);
    if (inCycle < 0) inCycle += kPhraseBeats;
    return cycle[static_cast<int>(inCycle / 4) & 3];
}

void Score::kick(double beat, double gain) {
    int64_t start = frameAt(beat);
    addKick(parts.drums, start, gain);
    parts.kicks.push_back(start);
}

void Score::snare(double beat, double gain) {
    addSnare(parts.drums, frameAt(beat), gain);
}
void Score::crash(double beat, double gain) {
    addCrash(parts.drums, frameAt(beat), gain);
}
void Score::tom(double beat, double hz, double gain) {
    addTom(parts.drums, frameAt(beat), gain, hz);
}

void Score::stab(double beat, double gain, int transpose) {
    Chord c = chordAt(beat);
    int notes[3] = {c.pad[0] + transpose, c.pad[1] + transpose, c.pad[2] + transpose};
    addStab(parts.music, parts.echo, frameAt(beat), notes, 3, gain);
}

void Score::bell(double beat, int note, double gain) {
    addBell(parts.music, parts.echo, frameAt(beat), note, gain, (note % 2) ? 0.4 : -0.4);
}

void Score::riser(double from, double to, double gain) {
    addRiser(parts.drums, frameAt(from), frameAt(to) - frameAt(from), gain);
}

void Score::fourOnTheFloor(double from, double to) {
    forGrid(from, to, 1, 0, [&](double beat, int) { kick(beat); });
}

void Score::claps(double from, double to) {
    forGrid(from, to, 2, 1, [&](double beat, int) { addClap(parts.drums, frameAt(beat), 0.4); });
}

void Score::hats(double from, double to, bool sixteenths, double gain) {
    forGrid(from, to, 1, 0.5,
            [&](double beat, int) { addHat(parts.drums, frameAt(beat), gain, false); });
    if (!sixteenths) return;
    forGrid(from, to, 0.5, 0.25,
            [&](double beat, int) { addHat(parts.drums, frameAt(beat), gain * 0.45, false); });
}

void Score::openHats(double from, double to) {
    forGrid(from, to, 1, 0.5,
            [&](double beat, int) { addHat(parts.drums, frameAt(beat), 0.07, true); });
}

void Score::roll(double from, double to, double step, double gainFrom, double gainTo) {
    forGrid(from, to, step, 0, [&](double beat, int) {
        double x = (beat - from) / (to - from);
        snare(beat, gainFrom + (gainTo - gainFrom) * x);
    });
}

void Score::bassOffbeat(double from, double to) {
    forGrid(from, to, 1, 0.5, [&](double beat, int) {
        addBass(parts.music, frameAt(beat), 6 * kSixteenthFrames / 4, chordAt(beat).bass + 12,
                0.36);
    });
}

void Score::bassRolling(double from, double to) {
    const int octave[3] = {12, 12, 24};
    forGrid(from, to, 0.25, 0, [&](double beat, int k) {
        int inBeat = ((k % 4) + 4) % 4;
        if (inBeat == 0) return;  // the kick owns the beat
        addBass(parts.music, frameAt(beat), kSixteenthFrames * 3 / 4,
                chordAt(beat).bass + octave[inBeat - 1], 0.32);
    });
}

void Score::bassHold(double from, double to) {
    double start = from;
    for (double beat = from; beat < to; beat += 0.25) {
        double next = beat + 0.25;
        if (next < to && sameChord(chordAt(next), chordAt(start))) continue;
        addBass(parts.music, frameAt(start), frameAt(std::fmin(next, to)) - frameAt(start) - 600,
                chordAt(start).bass + 12, 0.3);
        start = next;
    }
}

void Score::pad(double from, double to, double gain) {
    double start = from;
    for (double beat = from; beat < to; beat += 0.25) {
        double next = beat + 0.25;
        if (next < to && sameChord(chordAt(next), chordAt(start))) continue;
        Chord c = chordAt(start);
        addPad(parts.music, frameAt(start), frameAt(std::fmin(next, to)) - frameAt(start), c.pad, 3,
               gain);
        start = next;
    }
}

void Score::lead(double from, double to, int phrase, int transpose, double gain) {
    const PhraseNote* notes = phrase == 0 ? kHook : kAnswer;
    size_t count =
        phrase == 0 ? sizeof kHook / sizeof kHook[0] : sizeof kAnswer / sizeof kAnswer[0];
    for (double cycle = std::floor(from / kPhraseBeats) * kPhraseBeats; cycle < to;
         cycle += kPhraseBeats) {
        for (size_t i = 0; i < count; ++i) {
            double beat = cycle + notes[i].start / 4.0;
            if (beat < from || beat >= to) continue;
            // Slightly detached: each note ends a little before the next.
            int64_t length = notes[i].length * kSixteenthFrames - 900;
            addLead(parts.music, parts.echo, frameAt(beat), length, notes[i].note + transpose,
                    gain);
        }
    }
}

void Score::arpeggio(double from, double to, double gain) {
    const int order[8] = {0, 1, 2, 3, 1, 2, 3, 2};
    forGrid(from, to, 0.25, 0, [&](double beat, int k) {
        Chord c = chordAt(beat);
        int tones[4] = {c.pad[0] + 12, c.pad[1] + 12, c.pad[2] + 12, c.pad[0] + 24};
        addLead(parts.music, parts.echo, frameAt(beat), kSixteenthFrames * 3 / 4,
                tones[order[((k % 8) + 8) % 8]], gain);
    });
}

void Score::bells(double from, double to, double step, double gain) {
    forGrid(from, to, step, 0, [&](double beat, int k) {
        Chord c = chordAt(beat);
        int tones[4] = {c.pad[0] + 12, c.pad[2] + 12, c.pad[1] + 12, c.pad[0] + 24};
        bell(beat, tones[((k % 4) + 4) % 4], gain);
    });
}

void Score::groove(double from, double to) {
    fourOnTheFloor(from, to);
    claps(from, to);
    hats(from, to, false);
    bassOffbeat(from, to);
}

void Score::drive(double from, double to) {
    fourOnTheFloor(from, to);
    claps(from, to);
    hats(from, to, true);
    openHats(from, to);
    bassRolling(from, to);
}
