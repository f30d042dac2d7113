#pragma once
#include "audio/server_output.h"

#include <string>

// Plays 44.1 kHz, 2-channel, signed 16-bit native-endian sound through PipeWire's own
// stream interface. The graph's timing of every cycle (the delay to the device, the sound
// queued in the stream and held in its resampler) gives the sound in front of each fill
// to the sample, which the pulse protocol's translation of it does not: pipewire-pulse
// reports one graph cycle less than it holds, so a clock built on it runs that much early.
struct PipewireOutput;

// Connects to the running PipeWire daemon and opens a playback stream that stays silent
// until playPipewireOutput. Null with reason set when no daemon runs (absent is set too:
// there is no socket to connect to, which is no failure on a system without PipeWire) or
// the stream cannot be opened.
PipewireOutput* openPipewireOutput(ServerFill fill, ServerLost lost, void* user, bool& absent,
                                   std::string& reason);

// The output's lock, which every fill and loss call holds. Not recursive.
void lockPipewireOutput(PipewireOutput* output);
void unlockPipewireOutput(PipewireOutput* output);

// With the lock held: drops whatever was written before and plays from a fresh fill.
// False when the daemon or the stream has gone away since opening.
bool playPipewireOutput(PipewireOutput* output);

// Stops the stream and disconnects. Not with the lock held.
void closePipewireOutput(PipewireOutput* output);
