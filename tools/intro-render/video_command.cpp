#include "video_command.h"

#include <cmath>

namespace {

// Each canvas pixel as a scale x scale block of the same colour. zimg's point filter repeats
// pixels exactly at every whole scale; swscale's nearest neighbour drifts by a pixel at some
// block edges above a scale of 33.
// In a frame, the grey around the blocks is padded after them, in the same colour space:
// grey has no colour, so every matrix gives it the same samples.
std::string pixelBlocks(const VideoJob& job) {
    std::string filter = "zscale=w=" + std::to_string(job.width * job.scale) +
                         ":h=" + std::to_string(job.height * job.scale) + ":filter=point";
    if (job.frameWidth > 0)
        filter += ",pad=w=" + std::to_string(job.frameWidth) +
                  ":h=" + std::to_string(job.frameHeight) + ":x=" + std::to_string(job.left) +
                  ":y=" + std::to_string(job.top) + ":color=0x505050";
    return filter;
}

// Full-resolution colour in the bt709 tv-range matrix named in the stream, converted once per
// canvas pixel before the blocks are made: a tenth of the work of converting the scaled
// picture, and the same samples, since every pixel of a block has the same colour.
constexpr char kCanvasToYuv444[] =
    "scale=out_color_matrix=bt709:out_range=tv:flags=accurate_rnd+full_chroma_int,"
    "format=yuv444p,";

std::string videoFilter(const VideoJob& job) {
    switch (job.format) {
    case VideoFormat::Gif:
        // One palette per frame, made just before the frame is mapped to it, so nothing
        // waits for the end of the stream; no dithering keeps the pixel blocks flat. The
        // palette comes from the canvas: the blocks hold the same colours in the same shares.
        return "[0:v]split[a][b];[a]palettegen=stats_mode=single:reserve_transparent=0[p];"
               "[b]format=gbrp," +
               pixelBlocks(job) + ",format=bgra[s];[s][p]paletteuse=new=1:dither=none[v]";
    case VideoFormat::Mp4:
        if (job.lossless) return "[0:v]format=gbrp," + pixelBlocks(job) + ",format=rgb24[v]";
        // 4:2:0, the one layout every player and browser decodes. At an even scale each
        // 2 x 2 colour sample lies inside one block, so the point filter takes exactly that
        // canvas pixel's colour and none bleeds across a block edge.
        return "[0:v]" + std::string(kCanvasToYuv444) + pixelBlocks(job) + ",format=yuv420p[v]";
    case VideoFormat::Webm:
        if (job.lossless) return "[0:v]format=gbrp," + pixelBlocks(job) + ",format=gbrp[v]";
        break;
    }
    // Full chroma keeps the edges of the blocks sharp; the matrix is named in the stream.
    return "[0:v]" + std::string(kCanvasToYuv444) + pixelBlocks(job) + ",format=yuv444p[v]";
}

// The matrix, range, primaries and transfer the picture was converted with, named in the
// stream so that players convert it back the same way.
void addBt709Tags(std::vector<std::string>& args) {
    args.insert(args.end(), {"-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc",
                             "bt709", "-color_range", "tv"});
}

std::vector<std::string> videoCodec(const VideoJob& job) {
    std::vector<std::string> args;
    switch (job.format) {
    case VideoFormat::Gif: return {"-loop", "0", "-f", "gif"};
    case VideoFormat::Mp4:
        if (job.lossless)
            return {"-c:v", "libx264rgb", "-qp", "0", "-preset", "medium", "-f", "mp4"};
        // Flat blocks whose edges fall on the 8 x 8 transform grid at even scales: one
        // 8 x 8 transform codes a block in a few coefficients, CABAC halves the bits of the
        // fastest preset, and a constant quantiser holds every frame near the same quality,
        // where a rate factor lets busy frames drop below it. No tune: psychovisual tuning
        // and adaptive quantisation are already off at this preset, and the tunes that add
        // B-frames or references cost time for nothing here.
        args = {"-c:v",      "libx264",      "-profile:v",       "high", "-preset",
                "ultrafast", "-x264-params", "8x8dct=1:cabac=1", "-qp",  "16"};
        addBt709Tags(args);
        args.insert(args.end(), {"-movflags", "+faststart", "-f", "mp4"});
        return args;
    case VideoFormat::Webm:
        if (job.lossless)
            return {"-c:v", "libvpx-vp9", "-lossless", "1", "-row-mt", "1", "-f", "webm"};
        // The real-time mode at its fastest speed, in two tiles for two threads: a quarter
        // of the work of the good mode, and a lower rate factor wins back more than that
        // mode kept (busy frames 43 dB from the canvas instead of 40).
        args = {"-c:v",          "libvpx-vp9", "-crf",      "10", "-b:v",    "0",
                "-deadline",     "realtime",   "-cpu-used", "8",  "-row-mt", "1",
                "-tile-columns", "1",          "-threads",  "2"};
        addBt709Tags(args);
        args.insert(args.end(), {"-f", "webm"});
        return args;
    }
    return args;
}

std::vector<std::string> audioCodec(const VideoJob& job) {
    if (job.format == VideoFormat::Webm) return {"-c:a", "libopus", "-b:a", "160k"};
    // The fast coder: a third of the CPU of the default two-loop search, which would
    // otherwise take a third of the whole encode.
    return {"-c:a", "aac", "-aac_coder", "fast", "-b:a", "192k"};
}

}  // namespace

std::string musicCutFilter(const VideoJob& job) {
    const long long first = std::llround(job.fromSeconds * kAudioRate);
    // frames and fps are bounded by the options (10^7 frames, 1000 fps): no overflow.
    const long long length = (job.frames * kAudioRate + job.fps / 2) / job.fps;
    // Time stamps are renumbered from the samples themselves, so the cut counts samples
    // from the first decoded one, as the intro's clock does, whatever the container says.
    std::string filter = "[1:a]aresample=" + std::to_string(kAudioRate) + ",asetpts=N/SR/TB,";
    if (first >= 0)
        filter += "atrim=start_sample=" + std::to_string(first) +
                  ":end_sample=" + std::to_string(first + length);
    else
        filter += "adelay=delays=" + std::to_string(-first) +
                  "S:all=1,atrim=end_sample=" + std::to_string(length);
    filter += ",asetpts=N/SR/TB,apad=whole_len=" + std::to_string(length) + "[a]";
    return filter;
}

std::vector<std::string> ffmpegArguments(const VideoJob& job) {
    std::vector<std::string> args = {
        "-hide_banner",
        "-loglevel",
        "error",
        "-nostdin",
        "-y",
        "-f",
        "rawvideo",
        "-pix_fmt",
        // The canvas leaves its alpha byte at 0: read as alpha, a gif would map every pixel
        // to its transparent colour.
        "rgb0",
        "-video_size",
        std::to_string(job.width) + "x" + std::to_string(job.height),
        "-framerate",
        std::to_string(job.fps),
        "-i",
        "pipe:0",
    };
    const bool audio = !job.musicPath.empty();
    if (audio) {
        args.push_back("-i");
        args.push_back("file:" + job.musicPath);
    }
    std::string graph = videoFilter(job);
    if (audio) graph += ";" + musicCutFilter(job);
    args.insert(args.end(), {"-filter_complex", graph, "-map", "[v]"});
    if (audio) {
        args.insert(args.end(), {"-map", "[a]"});
        const std::vector<std::string> codec = audioCodec(job);
        args.insert(args.end(), codec.begin(), codec.end());
    }
    const std::vector<std::string> codec = videoCodec(job);
    args.insert(args.end(), codec.begin(), codec.end());
    // "file:" keeps a name that starts with '-' or holds a ':' from being read otherwise.
    args.push_back("file:" + job.outputPath);
    return args;
}
