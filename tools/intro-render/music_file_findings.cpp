// --check's music, read by the intro's own MP3 reader; the judgement is music_findings.cpp,
// which the web page shares.
#include "check_findings.h"
#include "music_track.h"

CheckFindings checkMusic(const std::string& path) {
    DecodedMusic music;
    std::string reason;
    if (!decodeMusic(path, kHeardSeconds, music, reason)) return {unreadableMusic(path, reason)};
    return checkDecodedMusic(music);
}
