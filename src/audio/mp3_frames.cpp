#include "audio/mp3_decoder.h"

#include "audio/other_audio.h"

// What is known of an MP3 stream from its bytes alone, before any decoding: the tags, the
// frame headers and where the stream starts. No library: the web page checks a track with
// these too.

size_t id3v2TagLength(const uint8_t* h) {
    if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF || h[4] == 0xFF) return 0;
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80) return 0;
    const size_t body = size_t(h[6]) << 21 | size_t(h[7]) << 14 | size_t(h[8]) << 7 | h[9];
    return 10 + body + ((h[5] & 0x10) ? 10 : 0);
}

size_t id3v2TagBytes(const uint8_t* data, size_t size) {
    size_t total = 0;
    // Tags may follow one another; each is a 10-byte header, a synchsafe body size and an
    // optional 10-byte footer.
    while (size - total >= 10) {
        const size_t tag = id3v2TagLength(data + total);
        if (tag == 0 || tag > size - total) break;
        total += tag;
    }
    return total;
}

bool isMpegFrameHeader(const uint8_t* data, size_t size) {
    if (size < 4) return false;
    const unsigned version = (data[1] >> 3) & 3;       // 1 is reserved
    const unsigned layer = (data[1] >> 1) & 3;         // 0 is reserved
    const unsigned bitrate = data[2] >> 4;             // 15 is invalid
    const unsigned samplingRate = (data[2] >> 2) & 3;  // 3 is reserved
    return data[0] == 0xFF && (data[1] & 0xE0) == 0xE0 && version != 1 && layer != 0 &&
           bitrate != 15 && samplingRate != 3;
}

size_t mpegFrameBytes(const uint8_t* h) {
    static const uint16_t kKbps[2][3][16] = {
        // MPEG-1: layer I, II, III
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
        // MPEG-2 and 2.5
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};
    static const uint32_t kRates[3] = {44100, 48000, 32000};
    const unsigned version = (h[1] >> 3) & 3, layer = 4 - ((h[1] >> 1) & 3);  // layer 1..3
    const bool mpeg1 = version == 3;
    const uint32_t rate = kRates[(h[2] >> 2) & 3] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const uint32_t bitsPerSecond = uint32_t(kKbps[mpeg1 ? 0 : 1][layer - 1][h[2] >> 4]) * 1000;
    const uint32_t padding = (h[2] >> 1) & 1;
    if (layer == 1) return (12 * bitsPerSecond / rate + padding) * 4;
    const uint32_t perSlot = layer == 3 && !mpeg1 ? 72 : 144;
    return perSlot * bitsPerSecond / rate + padding;
}

// Bytes from the frame at data + at to the next frame: from its header, or for a
// free-format frame (whose length the header does not give) to the next header equal in
// all but the padding bit within the longest such frame. 0 when there is none.
static size_t bytesToNextFrame(const uint8_t* data, size_t size, size_t at) {
    const size_t bytes = mpegFrameBytes(data + at);
    if (bytes) return bytes;
    constexpr size_t kLongestFreeFrame = 2880;  // 640 kbit/s layer III at 32 kHz
    const uint8_t* h = data + at;
    for (size_t next = at + 4; next + 4 <= size && next - at <= kLongestFreeFrame; ++next)
        if (data[next] == h[0] && data[next + 1] == h[1] &&
            (data[next + 2] & 0xFD) == (h[2] & 0xFD))
            return next - at;
    return 0;
}

size_t firstFrameOffset(const uint8_t* data, size_t size, size_t from) {
    constexpr int kFollowingHeaders = 2;
    const size_t end = size - from > kMaxLeadingJunkBytes ? from + kMaxLeadingJunkBytes : size;
    for (size_t start = from; start < end; ++start) {
        if (!isMpegFrameHeader(data + start, size - start)) continue;
        const uint8_t* first = data + start;
        size_t at = start;
        int following = 0;
        bool run = false;
        for (;;) {
            const size_t bytes = bytesToNextFrame(data, size, at);
            if (bytes == 0) break;
            // A frame ending exactly at the end of the file is the last one; one running
            // past it counts only after a verified frame, as the cut end of a track.
            if (bytes >= size - at) {
                run = bytes == size - at || following > 0;
                break;
            }
            at += bytes;
            const uint8_t* next = data + at;
            if (!isMpegFrameHeader(next, size - at) || (next[1] & 0xFE) != (first[1] & 0xFE) ||
                (next[2] & 0x0C) != (first[2] & 0x0C))
                break;
            if (++following == kFollowingHeaders) {
                run = true;
                break;
            }
        }
        if (run) return start;
    }
    return SIZE_MAX;
}

namespace {

std::string noFramesReason() {
    return "not an MP3 stream: no MPEG audio frames in its first " +
           std::to_string(kMaxLeadingJunkBytes / 1024) + " KiB";
}

// True, with the reason naming it, when the stream's head (after the tags) is audio of
// another kind. It is refused before any search for frames: a chance run of MPEG frame
// headers in its data would otherwise play as noise.
bool isOtherAudio(const uint8_t* head, size_t size, std::string& reason) {
    const char* other = otherAudioName(head, size);
    if (other) reason = std::string("not an MP3 stream: this is ") + other;
    return other != nullptr;
}

}  // namespace

size_t mp3StreamStart(const uint8_t* head, size_t size, std::string& reason) {
    if (isOtherAudio(head, size, reason)) return SIZE_MAX;
    const size_t start = firstFrameOffset(head, size, 0);
    if (start == SIZE_MAX) reason = noFramesReason();
    return start;
}

void mpegFrameFormat(const uint8_t* h, int& rate, int& channels) {
    static const int kRates[3] = {44100, 48000, 32000};
    const unsigned version = (h[1] >> 3) & 3;
    rate = kRates[(h[2] >> 2) & 3] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    channels = (h[3] >> 6) == 3 ? 1 : 2;  // channel mode 3 is mono
}
