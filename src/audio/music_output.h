#pragma once
#include <cstdint>

struct Mp3Decoder;

// Plays a decoder's sound and keeps the clock of what is being heard, on the first output
// of output_choice.h that opens: a sound server's, whose own account of the queued sound
// places the clock; SDL's default device; or, without either, a silent clock that consumes
// the same decoded stream in real time. INTRO_AUDIO forces one. The outputs' threads touch
// only the decoder and the clock. Should the device go away mid-show, the silent clock
// carries on.
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

// Byte position of the sound being heard, in bytes of the stream (stream.h), never
// decreasing, the track length once it has been heard to its end. One reading thread only.
int64_t musicOutputBytes(MusicOutput* output);

// Stops playback and frees the output and its decoder. The show never calls this: its
// stream lives until the process ends, and the audio thread may still run during exit.
void closeMusicOutput(MusicOutput* output);
