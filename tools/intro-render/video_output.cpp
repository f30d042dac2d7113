#include "audio/music.h"
#include "draw_loop.h"
#include "encoder_process.h"
#include "gfx/argb_gfx.h"
#include "interrupt.h"
#include "outputs.h"
#include "pending_file.h"
#include "scaled_image.h"
#include "video_command.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The track's file name, the same as the intro opens, in the chosen data folder.
std::string musicPathIn(const std::string& dataDir) {
    const char* slash = std::strrchr(kMusicPath, '/');
    return dataDir + (slash ? slash + 1 : kMusicPath);
}

// Fails early, with the reason, when the track cannot even be opened.
bool musicReadable(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read the music " + path + ": " + std::strerror(errno) +
                " (--no-audio encodes the picture alone)";
        return false;
    }
    close(fd);
    return true;
}

}  // namespace

int writeVideo(const RenderOptions& options) {
    Progress progress(options.progress, options.momentCount);
    const MomentSource& capture = options.moments[0];
    std::string error;

    const std::string ffmpeg = findOnPath("ffmpeg");
    if (ffmpeg.empty())
        return failRun(progress, "cannot encode " + options.outputPath +
                                     ": ffmpeg is not on PATH (Debian package ffmpeg)");
    VideoJob job;
    job.format = options.videoFormat;
    job.width = job.height = kCanvasSize * options.scale;
    job.fps = capture.fps;
    job.frames = options.momentCount;
    job.fromSeconds = capture.first;
    job.lossless = options.lossless;
    if (options.withAudio) {
        job.musicPath = musicPathIn(options.dataDir);
        if (!musicReadable(job.musicPath, error)) return failRun(progress, error);
    }
    // The temporary file is made here, so an unwritable output is reported by name before
    // the encoder starts; the encoder then overwrites it.
    PendingFile file;
    if (!file.create(options.outputPath, error) || !file.close(error)) return failRun(progress, error);
    job.outputPath = file.writePath();

    EncoderProcess encoder;
    if (!encoder.start(ffmpeg, ffmpegArguments(job), error)) return failRun(progress, error);
    std::vector<uint8_t> frame;
    const TakeFrame take = [&](const ArgbGfx& canvas, const FrameTime&, int64_t, std::string& error) {
        if (!scaleImage(canvas, options.scale, kRgbaBytes, frame)) {
            error = "cannot scale the canvas for " + options.outputPath;
            return false;
        }
        if (encoder.write(frame.data(), frame.size())) return true;
        error = std::string("cannot send frames to ffmpeg: ") + std::strerror(errno);
        return false;
    };
    const RunEnd end = drawMoments(options, progress, take, error);
    if (end == RunEnd::Interrupted) {
        encoder.stop();
        return stopRun(progress, options.outputPath + " not written");
    }
    std::string encoderError;
    const bool encoded = encoder.finish(encoderError);
    // Ctrl-C while the encoder finishes still leaves no file behind.
    if (interrupted()) return stopRun(progress, options.outputPath + " not written");
    if (!encoded) return failRun(progress, "cannot encode " + options.outputPath + ": " + encoderError);
    if (end == RunEnd::Failed) return failRun(progress, error);
    if (!file.commit(error)) return failRun(progress, error);
    progress.finish(options.momentCount, options.outputPath, captureSeconds(options));
    return 0;
}
