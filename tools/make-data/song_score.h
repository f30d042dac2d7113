#pragma once
#include <cstdint>

#include "song.h"

// Musical vocabulary of the arrangement: chords, phrases and drum patterns placed by beat.
// Ranges are [from, to) in beats; patterns add only the events that fall inside.

// Three pad notes and the bass root of the chord sounding at a beat.
struct Chord {
    int pad[3];
    int bass;
};
Chord chordAt(double beat);

struct Score {
    SongParts& parts;

    // Single events.
    void kick(double beat, double gain = 0.75);
    void snare(double beat, double gain = 0.45);
    void crash(double beat, double gain = 0.22);
    void tom(double beat, double hz, double gain = 0.5);
    void stab(double beat, double gain = 0.28, int transpose = 12);
    void bell(double beat, int note, double gain = 0.16);
    void riser(double from, double to, double gain = 0.09);

    // Drum patterns.
    void fourOnTheFloor(double from, double to);
    void claps(double from, double to);
    // Closed hats on the off-beats; with sixteenths also quiet hats on every 16th.
    void hats(double from, double to, bool sixteenths, double gain = 0.11);
    void openHats(double from, double to);
    // Snare hits every `step` beats, growing from gainFrom to gainTo.
    void roll(double from, double to, double step, double gainFrom, double gainTo);

    // Bass patterns on the chord root.
    void bassOffbeat(double from, double to);
    void bassRolling(double from, double to);
    void bassHold(double from, double to);

    // Sustained chords, split at chord changes.
    void pad(double from, double to, double gain = 0.1);
    // Melody phrase 0 (the hook) or 1 (the answer), 16 beats long and tied to the chord
    // cycle, so any stretch of it fits the chords underneath.
    void lead(double from, double to, int phrase, int transpose = 0, double gain = 0.2);
    // 16th-note arpeggio over the chord.
    void arpeggio(double from, double to, double gain = 0.15);
    // Bells on chord tones every `step` beats.
    void bells(double from, double to, double step, double gain = 0.14);

    // The usual beat: kick, claps, off-beat hats and bass.
    void groove(double from, double to);
    // The warp beat: groove with 16th hats, open hats and rolling bass.
    void drive(double from, double to);
};
