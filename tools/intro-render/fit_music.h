#pragma once
#include <string>

// --fit-music: writes a copy of the track at inPath whose beats fall on the show's grid,
// silence added before it or its start trimmed by the measured offset, encoded with the
// encoder's delay and padding recorded so the intro's reader decodes the first sample
// where the show expects it. The copy is measured again before it is kept.
// Writes one line of what it did to stdout; on failure returns false with error naming the
// file, and leaves no output file. Refuses an output that is the input.
bool fitMusic(const std::string& inPath, const std::string& outPath, std::string& error);
