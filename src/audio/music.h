#pragma once

// The music track and the show's clock.

#include <string>

// Opens the track at path and the audio output, playback paused. A file that cannot be
// read or holds no MP3 gives false and the line "Failed to load music: <path>: <reason>"
// in failure. Without an output device one warning is printed and the track runs on a
// silent clock in real time. A track shorter than showEndSeconds, where the show reaches
// its end, gets one note on stderr. Call once.
bool openMusic(const char* path, double showEndSeconds, std::string& failure);

// openMusic, ending the process with status 1 after its failure line on stderr.
void initMusic(const char* path, double showEndSeconds);

// Starts playback from the beginning of the track.
void startMusic();

// Seconds of the track heard so far: the byte position of the sound being heard, in bytes
// of the stream (stream.h), / 44100.0 * 0.25. Advances smoothly and never decreases;
// after the track's last sample it runs on in real time through silence, so the show
// reaches its end whatever the track's length. 0 before initMusic. Frame loop only.
double musicSeconds();
