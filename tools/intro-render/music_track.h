#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The music, read with the intro's own MP3 reader and its limits. On failure the functions
// return false with reason (without the path): "No such file or directory", "not a
// regular file" (a FIFO, which would block the encoder for ever), "no MP3 audio in it",
// "no MP3 audio in it: this is AAC audio (ADTS)", ...

// The reader refuses what is no MP3 with "not an MP3 stream: <why>"; intro-render says
// "no MP3 audio in it", with what the file is instead when the reader can tell.
inline std::string readerRefusal(const std::string& reason) {
    const std::string notMp3 = "not an MP3 stream: ";
    if (reason.rfind(notMp3 + "this is ", 0) == 0)
        return "no MP3 audio in it: " + reason.substr(notMp3.size());
    if (reason.rfind(notMp3, 0) == 0) return "no MP3 audio in it";
    return reason;
}

// The decoded length of the track in seconds: its samples, without the encoder's delay
// and padding where the file records them, / its rate.
bool measureMusic(const std::string& path, double& seconds, std::string& reason);

// The track as the intro plays it: interleaved 44100 Hz stereo 16-bit samples from its
// first decoded sample.
struct DecodedMusic {
    std::vector<int16_t> samples;  // at most maxSeconds of them
    double seconds = 0;            // the whole track's length
    int fileRate = 0;              // the file's own rate and channels, before conversion
    int fileChannels = 0;
};

// Decodes the first maxSeconds of the track at path (all of it when shorter).
bool decodeMusic(const std::string& path, double maxSeconds, DecodedMusic& music,
                 std::string& reason);
