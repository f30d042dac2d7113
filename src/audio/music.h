#pragma once

// The music track and the show's clock.

// initMusicFrom on the pack's music in "../data/", relative to the working directory.
void initMusic();

// Opens the track at path and the audio output, playback paused. A file that cannot be
// read or holds no MP3 ends the process with status 1 after the stderr line
// "Failed to load music: <path>: <reason>". Without an output device one warning is
// printed and the track runs on a silent clock in real time. A track shorter than the show
// gets one note on stderr. Call once.
void initMusicFrom(const char* path);

// Starts playback from the beginning of the track.
void startMusic();

// Seconds of the track heard so far: the byte position of the sound being heard, in bytes
// of 44.1 kHz 16-bit stereo, / 44100.0 * 0.25. Advances smoothly and never decreases;
// after the track's last sample it runs on in real time through silence, so the show
// reaches its end whatever the track's length. 0 before initMusic. Frame loop only.
double musicSeconds();
