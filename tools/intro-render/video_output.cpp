#include "assets/data_pack_manifest.h"
#include "demo/frame_time.h"
#include "draw_loop.h"
#include "encoder_process.h"
#include "gfx/argb_gfx.h"
#include "interrupt.h"
#include "music_track.h"
#include "outputs.h"
#include "pending_file.h"
#include "assets/printable.h"
#include "scaled_image.h"
#include "video_command.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// The track the intro plays, in the chosen data folder.
std::string musicPathIn(const std::string& dataDir) {
    return dataDir + kMusicFileName;
}

// The capture of the run; without --to, a video with sound runs on to the end of the
// track when that comes after the show's end, so the music is not cut mid-phrase.
MomentSource captureOf(const RenderOptions& options, double musicSeconds) {
    MomentSource capture = options.moments[0];
    if (!options.toGiven && options.withAudio) {
        capture.last = std::max(capture.last, musicSeconds);
        countMoments(capture, kMaxMoments);
    }
    return capture;
}

}  // namespace

int writeVideo(const RenderOptions& given) {
    RenderOptions options = given;
    const std::string name = printable(options.outputPath);
    const std::string outcome = name + " not written";
    std::string error;
    double musicSeconds = 0;
    const std::string musicPath = options.withAudio ? musicPathIn(options.dataDir) : "";
    std::string reason;
    if (options.withAudio && !measureMusic(musicPath, musicSeconds, reason)) {
        Progress quiet(false, 0);
        return failRun(quiet, "cannot read the music " + printable(musicPath) + ": " + reason +
                                  " (--no-audio encodes the picture alone)");
    }
    options.moments[0] = captureOf(options, musicSeconds);
    options.momentCount = options.moments[0].count;
    const MomentSource& capture = options.moments[0];
    Progress progress(options.progress, options.momentCount);

    const std::string ffmpeg = findOnPath("ffmpeg");
    if (ffmpeg.empty())
        return failRun(progress,
                       "cannot encode " + name + ": ffmpeg is not on PATH (Debian package ffmpeg)");
    VideoJob job;
    job.format = options.videoFormat;
    // ffmpeg takes the canvas itself and makes the blocks: a 64th of the bytes through the
    // pipe at the default scale, and no scaled copy here.
    job.width = job.height = kCanvasSize;
    job.scale = options.scale;
    if (options.frameWidth > 0) {
        const bool evenBlocks = options.videoFormat == VideoFormat::Mp4 && !options.lossless;
        const FrameLayout layout =
            frameLayout(options.frameWidth, options.frameHeight, kCanvasSize, evenBlocks);
        job.scale = layout.scale;
        job.frameWidth = layout.width;
        job.frameHeight = layout.height;
        job.left = layout.left;
        job.top = layout.top;
    }
    job.fps = capture.fps;
    job.frames = options.momentCount;
    job.fromSeconds = capture.first;
    job.lossless = options.lossless;
    job.musicPath = musicPath;
    // The temporary file is made here, so an unwritable output is reported by name before
    // the encoder starts; the encoder then overwrites it.
    PendingFile file;
    if (!file.create(options.outputPath, error) || !file.close(error))
        return stepFailed(progress, error, outcome);
    job.outputPath = file.writePath();

    EncoderProcess encoder;
    if (!encoder.start(ffmpeg, ffmpegArguments(job), error)) return failRun(progress, error);
    std::vector<uint8_t> frame;
    const TakeFrame take = [&](const ArgbGfx& canvas, const FrameTime&, int64_t,
                               std::string& error) {
        if (!scaleImage(canvas, 1, kRgbaBytes, frame)) {
            error = "cannot unpack the canvas for " + name;
            return false;
        }
        if (encoder.write(frame.data(), frame.size())) return true;
        error = std::string("cannot send frames to ffmpeg: ") + std::strerror(errno);
        return false;
    };
    const RunEnd end = drawMoments(options, progress, take, error);
    if (end == RunEnd::Interrupted) {
        // Stopped before the temporary file goes, so the encoder cannot write it again.
        encoder.stop();
        return stopRun(progress, outcome);
    }
    std::string encoderError;
    const bool encoded = encoder.finish(encoderError);
    // Ctrl-C while the encoder finishes still leaves no file behind.
    if (interrupted()) return stopRun(progress, outcome);
    if (!encoded) return failRun(progress, "cannot encode " + name + ": " + encoderError);
    if (end == RunEnd::Failed) return failRun(progress, error);
    if (!file.commit(error)) return failRun(progress, error);
    progress.finish(options.momentCount, name, captureSeconds(options));
    return 0;
}
