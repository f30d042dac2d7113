#pragma once
#include "audio/server_output.h"

#include <string>

// Plays 44.1 kHz, 2-channel, signed 16-bit native-endian sound on a sound server that
// speaks the PulseAudio protocol (PulseAudio itself or pipewire-pulse), asking for a small
// latency. The server's own account of the sound queued in front of each write, the
// sink's buffer included, is handed to the fill function, so sinks that hold much more
// sound than requested (Bluetooth, HDMI, a user's PULSE_LATENCY_MSEC) are accounted for.
struct PulseOutput;

// Connects to the default server without starting one, and opens a playback stream that
// stays silent until playPulseOutput. Null with reason set (the server's own error text)
// when no server answers or the stream cannot be opened.
PulseOutput* openPulseOutput(ServerFill fill, ServerLost lost, void* user, std::string& reason);

// The output's lock, which every fill and loss call holds. Not recursive.
void lockPulseOutput(PulseOutput* output);
void unlockPulseOutput(PulseOutput* output);

// With the lock held: drops whatever was written before and plays from a fresh fill.
// False when the server or the stream has gone away since opening.
bool playPulseOutput(PulseOutput* output);

// Stops the stream and disconnects. Not with the lock held.
void closePulseOutput(PulseOutput* output);
