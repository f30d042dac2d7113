// The music decoder on a good track with arbitrary bytes put between two of its frames:
// the first input byte picks the frame boundary (0 puts the bytes before the first frame),
// the rest is the gap. Besides memory safety: a gap after the first frame never stops the
// track being opened, and every read keeps the decoder's contract.
#include "audio/mp3_decoder.h"

#include "audio_mp3_maker.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Track {
    std::vector<uint8_t> bytes;
    std::vector<size_t> frameStarts;
};

const Track& track() {
    static const Track t = [] {
        TestTone tone;
        tone.seconds = 0.3;
        tone.clickAt = 0.1;
        Track made;
        made.bytes = makeMp3(tone);
        for (size_t at = 0; at + 4 <= made.bytes.size() && isMpegFrameHeader(&made.bytes[at], 4);
             at += mpegFrameBytes(&made.bytes[at]))
            made.frameStarts.push_back(at);
        if (made.frameStarts.size() < 4) std::abort();
        return made;
    }();
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const Track& t = track();
    const size_t boundary = data[0] % t.frameStarts.size();
    std::vector<uint8_t> file(t.bytes.begin(), t.bytes.begin() + long(t.frameStarts[boundary]));
    file.insert(file.end(), data + 1, data + size);
    file.insert(file.end(), t.bytes.begin() + long(t.frameStarts[boundary]), t.bytes.end());

    std::string reason;
    Mp3Decoder* decoder = openMp3(std::move(file), reason);
    if (!decoder) {
        // Only a gap before the first frame (a chance run of headers in it) or right after
        // the info frame (no audio before the gap) can make the track unopenable.
        if (reason.empty() || boundary > 1) std::abort();
        return 0;
    }
    static uint8_t out[4 * 1000];
    for (;;) {
        const size_t got = decodeMp3(decoder, out, sizeof out);
        if (got > sizeof out || got % 4 != 0) std::abort();
        if (got < sizeof out) break;
    }
    if (decodeMp3(decoder, out, sizeof out) != 0) std::abort();
    closeMp3(decoder);
    return 0;
}
