#pragma once
#include <cstddef>
#include <cstdint>

// Audio that is not MP3 but is often named .mp3 by mistake, told by how its stream starts
// (after any ID3v2 tags), so that its refusal can say what it is. The name completes the
// reason "not an MP3 stream: this is <name>"; null when the head is none of them.
const char* otherAudioName(const uint8_t* head, size_t size);
