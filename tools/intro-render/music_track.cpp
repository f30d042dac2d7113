#include "music_track.h"

#include "audio/mp3_decoder.h"
#include "audio/stream.h"

namespace {

// The reader refuses what is no MP3 with "not an MP3 stream: <why>"; intro-render says
// "no MP3 audio in it", with what the file is instead when the reader can tell.
std::string refusalReason(const std::string& reason) {
    const std::string notMp3 = "not an MP3 stream: ";
    if (reason.rfind(notMp3 + "this is ", 0) == 0)
        return "no MP3 audio in it: " + reason.substr(notMp3.size());
    if (reason.rfind(notMp3, 0) == 0) return "no MP3 audio in it";
    return reason;
}

}  // namespace

bool measureMusic(const std::string& path, double& seconds, std::string& reason) {
    Mp3Decoder* decoder = openMp3File(path.c_str(), reason);
    if (!decoder) {
        reason = refusalReason(reason);
        return false;
    }
    const int64_t bytes = scanMp3LengthBytes(decoder);
    closeMp3(decoder);
    if (bytes <= 0) {
        reason = "no MP3 audio in it";
        return false;
    }
    seconds = double(bytes / kStreamBytesPerFrame) / double(kStreamRate);
    return true;
}
