#pragma once
#include <string>

// The music of a video capture, checked before the encoder starts, with the intro's own
// MP3 reader and its limits. On failure returns false with reason (without the path):
// "No such file or directory", "not a regular file" (a FIFO, which would block the encoder
// for ever), "no MP3 audio in it", "no MP3 audio in it: this is AAC audio (ADTS)", ...
// On success seconds is the decoded length of the track: its samples, without the
// encoder's delay and padding where the file records them, / its rate.
bool measureMusic(const std::string& path, double& seconds, std::string& reason);
