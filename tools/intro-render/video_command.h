#pragma once
#include "options.h"

#include <cstdint>
#include <string>
#include <vector>

// Rate the music is resampled to before it is cut: a whole number of samples per frame at
// the usual frame rates, and the rate Opus needs anyway.
constexpr int32_t kAudioRate = 48000;

// One encode: raw R, G, B canvases of width x height, 4 bytes a pixel (the 4th unused), on
// ffmpeg's stdin, frame k being the moment fromSeconds + k / fps, each canvas pixel encoded
// as a scale x scale block, and the music (when musicPath is not empty) cut to exactly the
// same span.
struct VideoJob {
    VideoFormat format = VideoFormat::Mp4;
    int32_t width = 0;
    int32_t height = 0;
    int32_t scale = 1;
    // --size: the blocks centred in frames of frameWidth x frameHeight, at left and top, on
    // the window's grey; 0 x 0: the blocks alone.
    int32_t frameWidth = 0, frameHeight = 0, left = 0, top = 0;
    int32_t fps = 0;
    int64_t frames = 0;
    double fromSeconds = 0;
    bool lossless = false;
    std::string musicPath;   // empty: no sound track
    std::string outputPath;  // written by ffmpeg, container given explicitly
};

// The audio filter that cuts the music to the capture: sample s of the result is sample
// round(from x rate) + s of the decoded track (silence before its start and after its end),
// for exactly round(frames x rate / fps) samples.
std::string musicCutFilter(const VideoJob& job);

// ffmpeg's arguments after the program name.
std::vector<std::string> ffmpegArguments(const VideoJob& job);
