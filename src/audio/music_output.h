#pragma once
#include <cstdint>

struct Mp3Decoder;

// Plays a decoder's sound and keeps the clock of what is being heard: on the default SDL
// output device (44100 Hz, 16-bit stereo, small buffer), or, without a device, on a silent
// clock that consumes the same decoded stream in real time. The audio thread touches only
// the decoder and the clock.
struct MusicOutput;

// Takes the decoder. Opens the device paused; without one prints one warning on stderr
// and uses the silent clock. Never fails.
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
