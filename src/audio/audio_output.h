#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// One way of playing the music: a sound server's own interface, a device library, or the
// silent clock. Every output is one file that exports one AudioOutput record; the records
// are listed, in the order they are tried, in output_choice.h.

// What an output calls back, on its own thread with its lock held.
struct OutputFeed {
    // Fill `out` with exactly `bytes` bytes (a multiple of 4) of the stream's format
    // (stream.h), asked for at nowNs (monotonicNs). latencyBytes: sound handed earlier
    // and not yet heard, in bytes of the stream, as far towards the speaker as the output
    // can tell; negative after an underrun; kLatencyUnknown (music_clock.h) before the
    // output's first timing report. This is what places the clock on the heard sound.
    void (*fill)(void* user, uint8_t* out, size_t bytes, int64_t nowNs, int64_t latencyBytes);
    // Called once when the output goes away after playback has started (a sound server
    // stopping); the output fills no more.
    void (*lost)(void* user);
    void* user;
};

struct AudioOutput {
    const char* name;   // the value of INTRO_AUDIO that forces it
    const char* label;  // how the lines on stderr name it
    // Opens the output, silent until play. Null with reason set when it cannot; `absent`
    // set too when the system has none of it at all (no daemon to ask), which is no
    // failure worth a word.
    void* (*open)(const OutputFeed& feed, bool& absent, std::string& reason);
    // The lock every fill and loss call holds. Not recursive.
    void (*lock)(void* output);
    void (*unlock)(void* output);
    // With the lock held: drops whatever was handed before and plays from a fresh fill
    // (the caller has just rewound the stream). False when the output has gone away since
    // opening.
    bool (*play)(void* output);
    // Stops playback and frees the output. Not with the lock held.
    void (*close)(void* output);
};
