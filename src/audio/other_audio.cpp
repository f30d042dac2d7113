#include "audio/other_audio.h"

#include <cstring>

namespace {

// An ISO base media file (MP4, M4A) starts with its file-type box: a 4-byte size, "ftyp".
bool isMp4(const uint8_t* head, size_t size) {
    return size >= 8 && std::memcmp(head + 4, "ftyp", 4) == 0;
}

// Bytes of the ADTS frame whose header is at h (12 sync bits, layer 0, a defined sampling
// rate, a length that covers the 7-byte header); 0 when h starts no such frame.
size_t adtsFrameBytes(const uint8_t* h, size_t size) {
    if (size < 7 || h[0] != 0xFF || (h[1] & 0xF6) != 0xF0 || ((h[2] >> 2) & 0x0F) > 12) return 0;
    const size_t bytes = (size_t(h[3] & 0x03) << 11) | (size_t(h[4]) << 3) | (h[5] >> 5);
    return bytes >= 7 ? bytes : 0;
}

// Raw AAC in ADTS frames: a frame header, and the next where the first ends (or the
// data's end there), so that one chance match in other data does not count.
bool isAdts(const uint8_t* head, size_t size) {
    const size_t first = adtsFrameBytes(head, size);
    if (first == 0 || first > size) return false;
    return first == size || adtsFrameBytes(head + first, size - first) != 0;
}

}  // namespace

const char* otherAudioName(const uint8_t* head, size_t size) {
    if (isAdts(head, size)) return "AAC audio (ADTS)";
    if (isMp4(head, size)) return "an MP4/M4A file";
    return nullptr;
}
