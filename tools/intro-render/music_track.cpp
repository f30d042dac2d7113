#include "music_track.h"

#include "audio/mp3_decoder.h"
#include "audio/stream.h"

#include <algorithm>
#include <cmath>

namespace {

// Decoded in pieces of a second.
constexpr size_t kPieceBytes = size_t(kMusicBytesPerSecond);

// The opened track and its exact length in seconds; null with reason when it has none.
Mp3Decoder* openMusic(const std::string& path, double& seconds, std::string& reason) {
    Mp3Decoder* decoder = openMp3File(path.c_str(), reason);
    if (!decoder) {
        reason = readerRefusal(reason);
        return nullptr;
    }
    const int64_t bytes = scanMp3LengthBytes(decoder);
    if (bytes <= 0) {
        closeMp3(decoder);
        reason = "no MP3 audio in it";
        return nullptr;
    }
    seconds = double(bytes / kStreamBytesPerFrame) / double(kStreamRate);
    return decoder;
}

}  // namespace

bool measureMusic(const std::string& path, double& seconds, std::string& reason) {
    Mp3Decoder* decoder = openMusic(path, seconds, reason);
    closeMp3(decoder);
    return decoder != nullptr;
}

bool decodeMusic(const std::string& path, double maxSeconds, DecodedMusic& music,
                 std::string& reason) {
    music = DecodedMusic();
    Mp3Decoder* decoder = openMusic(path, music.seconds, reason);
    if (!decoder) return false;
    const double kept = std::fmin(music.seconds, std::fmax(maxSeconds, 0.0));
    const size_t wanted = size_t(std::llround(kept * kStreamRate)) * kStreamBytesPerFrame;
    // The length comes from the headers; the samples end where decoding does.
    music.samples.resize(wanted / sizeof(int16_t));
    size_t filled = 0;
    while (filled < wanted) {
        const size_t piece = std::min(kPieceBytes, wanted - filled);
        const size_t got =
            decodeMp3(decoder, reinterpret_cast<uint8_t*>(music.samples.data()) + filled, piece);
        filled += got;
        if (got < piece) break;
    }
    music.samples.resize(filled / sizeof(int16_t));
    if (!mp3SourceFormat(decoder, music.fileRate, music.fileChannels)) {
        music.fileRate = kStreamRate;
        music.fileChannels = kStreamChannels;
    }
    closeMp3(decoder);
    return true;
}
