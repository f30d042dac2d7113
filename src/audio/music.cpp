#include "audio/music.h"

#include "audio/mp3_decoder.h"
#include "audio/music_clock.h"
#include "audio/music_output.h"

#include <cstdio>
#include <cstdlib>
#include <string>

// The one music stream; null until initMusic. Never freed: the audio thread may still be
// running while the process exits, so nothing it touches may be destroyed.
static MusicOutput* musicStream = nullptr;

bool openMusic(const char* path, double showEndSeconds, std::string& failure) {
    std::string reason;
    Mp3Decoder* decoder = openMp3File(path, reason);
    if (!decoder) {
        failure = std::string("Failed to load music: ") + path + ": " + reason;
        return false;
    }
    const int64_t length = mp3LengthBytes(decoder);
    if (length >= 0 && musicBytesToSeconds(length) < showEndSeconds)
        std::fprintf(stderr,
                     "audio: %s lasts %.1f s, less than the show's %.1f s; the show runs on "
                     "in silence after it\n",
                     path, musicBytesToSeconds(length), showEndSeconds);
    musicStream = openMusicOutput(decoder);
    return true;
}

void initMusic(const char* path, double showEndSeconds) {
    std::string failure;
    if (openMusic(path, showEndSeconds, failure)) return;
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::exit(1);
}

void startMusic() {
    if (musicStream) startMusicOutput(musicStream);
}

double musicSeconds() {
    if (!musicStream) return 0.0;
    return musicBytesToSeconds(musicOutputBytes(musicStream));
}
