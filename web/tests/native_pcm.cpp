// The native side of the decoder comparison: the first FRAMES frames of an MP3 as our own
// reader decodes them (44100 Hz, 2 channels, signed 16-bit little-endian, interleaved),
// written raw to stdout, so that a test can line them up with a browser's decoding.
#include "audio/mp3_decoder.h"

#include <cstdio>
#include <cstdlib>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: web-native-pcm FILE.mp3 FRAMES > PCM\n", stderr);
        return 2;
    }
    char* end = nullptr;
    const long frames = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || frames <= 0) {
        std::fprintf(stderr, "web-native-pcm: not a number of frames: %s\n", argv[2]);
        return 2;
    }
    std::string reason;
    Mp3Decoder* decoder = openMp3File(argv[1], reason);
    if (!decoder) {
        std::fprintf(stderr, "web-native-pcm: %s: %s\n", argv[1], reason.c_str());
        return 1;
    }
    std::vector<uint8_t> pcm(size_t(frames) * 4);
    const size_t got = decodeMp3(decoder, pcm.data(), pcm.size());
    closeMp3(decoder);
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // no 13 before every byte 10
#endif
    // The stream is native-endian; the test reads it as little-endian, as on every host
    // this runs on.
    const bool written = std::fwrite(pcm.data(), 1, got, stdout) == got;
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}
