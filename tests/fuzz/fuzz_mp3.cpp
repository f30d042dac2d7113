// The music decoder on arbitrary file contents: open, decode to the end, rewind and
// decode again. The contract checked besides memory safety: every read returns a whole
// number of 4-byte frames, never more than asked, and nothing once the track has ended.
#include "audio/mp3_decoder.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Reads sizes that vary with the input, so partial frames and tiny requests are covered.
size_t readToEnd(Mp3Decoder* decoder, uint8_t chunkSeed) {
    static uint8_t out[64 * 1024];
    const size_t chunk = 4 * (size_t(chunkSeed) * 61 % 4096 + 1);
    size_t total = 0;
    for (;;) {
        const size_t got = decodeMp3(decoder, out, chunk);
        if (got > chunk || got % 4 != 0) std::abort();
        total += got;
        if (got < chunk) break;
    }
    if (decodeMp3(decoder, out, chunk) != 0) std::abort();
    return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The header checks on the raw bytes, tags and frame sync anywhere in them.
    id3v2TagBytes(data, size);
    isMpegFrameHeader(data, size);

    std::string reason;
    Mp3Decoder* decoder = openMp3(std::vector<uint8_t>(data, data + size), reason);
    if (!decoder) {
        if (reason.empty()) std::abort();
        return 0;
    }
    const uint8_t seed = size ? data[size - 1] : 0;
    const size_t first = readToEnd(decoder, seed);
    if (rewindMp3(decoder)) {
        // Decoding is deterministic: the same bytes give the same length again.
        if (readToEnd(decoder, uint8_t(seed + 1)) != first) std::abort();
    }
    closeMp3(decoder);
    return 0;
}
