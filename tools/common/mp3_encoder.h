#pragma once
#include <cstdint>
#include <string>
#include <vector>

// 192 kbit/s constant-rate MP3 of interleaved 44.1 kHz 16-bit stereo, with the encoder's
// tag frame first, so a gapless decoder returns exactly the input frames from frame 0.
// On failure returns false and sets error.
bool encodeMp3(const std::vector<int16_t>& interleaved, std::vector<uint8_t>& mp3,
               std::string& error);
