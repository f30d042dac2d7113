#pragma once
#include <cstdint>

#include "synth_dsp.h"

// Each instrument adds one event to a bus, starting at a frame. Every sound starts and
// ends at zero (short ramps), so no event clicks; gains are linear, about 1 = loud.

// Drums.
void addKick(StereoBus& bus, int64_t start, double gain);
void addSnare(StereoBus& bus, int64_t start, double gain);
void addClap(StereoBus& bus, int64_t start, double gain);
void addHat(StereoBus& bus, int64_t start, double gain, bool open);
void addCrash(StereoBus& bus, int64_t start, double gain);
void addTom(StereoBus& bus, int64_t start, double gain, double hz);
// Filtered noise sweeping upwards and growing louder over `length` frames.
void addRiser(StereoBus& bus, int64_t start, int64_t length, double gain);

// Pitched voices; notes are MIDI numbers, lengths in frames (the release rings on after).
void addBass(StereoBus& bus, int64_t start, int64_t length, int note, double gain);
void addLead(StereoBus& bus, MonoBus& echo, int64_t start, int64_t length, int note, double gain);
void addPad(StereoBus& bus, int64_t start, int64_t length, const int* notes, int count,
            double gain);
void addStab(StereoBus& bus, MonoBus& echo, int64_t start, const int* notes, int count,
             double gain);
void addBell(StereoBus& bus, MonoBus& echo, int64_t start, int note, double gain, double pan);
