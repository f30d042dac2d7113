#pragma once
#include <cstdint>

struct Mp3Decoder;

// Plays a decoder's sound and keeps the clock of what is being heard: on the sound server
// (PipeWire's own interface, else libpulse), whose own account of the queued sound places
// the clock; otherwise on the default SDL output device (44100 Hz, 16-bit stereo, small
// buffer); without either, on a silent clock that consumes the same decoded stream in real
// time. INTRO_AUDIO=pipewire, pulse, sdl or none forces one (see output_choice.h). The audio thread touches only the decoder
// and the clock. Should the server go away mid-show, the silent clock carries on.
struct MusicOutput;

// Takes the decoder. Opens the first output that works, paused; prints one line on stderr
// naming the output when it is not the first choice. Never fails.
MusicOutput* openMusicOutput(Mp3Decoder* decoder);

// As openMusicOutput, always on the silent clock and without the warning.
MusicOutput* openSilentMusicOutput(Mp3Decoder* decoder);

// True when sound goes to a device.
bool musicOutputHasDevice(const MusicOutput* output);

// Plays from the first sample; again from the first sample when already playing.
void startMusicOutput(MusicOutput* output);

// Byte position of the sound being heard: 4 bytes per frame of 44.1 kHz stereo, never
// decreasing, the track length once it has been heard to its end. One reading thread only.
int64_t musicOutputBytes(MusicOutput* output);

// Stops playback and frees the output and its decoder. The show never calls this: its
// stream lives until the process ends, and the audio thread may still run during exit.
void closeMusicOutput(MusicOutput* output);

// Nanoseconds on the monotonic clock that the music clock is driven by.
int64_t monotonicNs();
