#include "draw_loop.h"
#include "folders.h"
#include "frame_files.h"
#include "gfx/argb_gfx.h"
#include "outputs.h"
#include "pending_file.h"
#include "png_bytes.h"
#include "assets/printable.h"
#include "scaled_image.h"

#include <cstdio>

namespace {

// Writes the canvas at the run's scale, or in its --size frame, as an RGB PNG under path,
// complete or not at all.
bool writeCanvasPng(const ArgbGfx& canvas, const RenderOptions& options, const std::string& path,
                    std::vector<uint8_t>& rgb, std::string& error) {
    int32_t width = canvas.width * options.scale;
    int32_t height = canvas.height * options.scale;
    bool made = false;
    if (options.frameWidth > 0) {
        const FrameLayout layout =
            frameLayout(options.frameWidth, options.frameHeight, canvas.width, false);
        made = frameImage(canvas, layout, kRgbBytes, rgb);
        width = layout.width;
        height = layout.height;
    } else {
        made = scaleImage(canvas, options.scale, kRgbBytes, rgb);
    }
    if (!made) {
        error = "cannot scale the canvas for " + printable(path);
        return false;
    }
    const std::vector<uint8_t> png = encodePng(rgb, width, height, kRgbBytes);
    if (png.empty()) {
        error = "cannot encode " + printable(path) + " as PNG";
        return false;
    }
    PendingFile file;
    return file.create(path, error) && file.write(png.data(), png.size(), error) &&
           file.commit(error);
}

// What an early end leaves in the folder: this run's first frames, then perhaps frames of
// an earlier run, which are kept (this run failed; they may be all the user has).
std::string folderState(const RenderOptions& options, int64_t written) {
    const std::string dir = printable(options.outputPath);
    std::string state = dir + " holds the first " + std::to_string(written) + " of " +
                        std::to_string(options.momentCount) + " frames";
    const std::vector<int64_t> frames = frameFilesIn(options.outputPath);
    if (!frames.empty() && frames.back() >= written)
        state += "; " + frameName(written) + " and on are from an earlier run";
    return state;
}

}  // namespace

int writePngFile(const RenderOptions& options) {
    Progress progress(options.progress, options.momentCount);
    std::vector<uint8_t> rgb;
    std::string error;
    const TakeFrame take = [&](const ArgbGfx& canvas, const FrameTime&, int64_t,
                               std::string& error) {
        return writeCanvasPng(canvas, options, options.outputPath, rgb, error);
    };
    const RunEnd end = drawMoments(options, progress, take, error);
    if (end != RunEnd::Done)
        return endedEarly(end, progress, error, printable(options.outputPath) + " not written");
    progress.finish(options.momentCount, printable(options.outputPath), 0);
    return 0;
}

int writePngFolder(const RenderOptions& options) {
    Progress progress(options.progress, options.momentCount);
    std::string error;
    if (!makeFolders(options.outputPath, error)) return failRun(progress, error);
    std::vector<uint8_t> rgb;
    int64_t written = 0;
    const TakeFrame take = [&](const ArgbGfx& canvas, const FrameTime&, int64_t index,
                               std::string& error) {
        if (!writeCanvasPng(canvas, options, options.outputPath + frameName(index), rgb, error))
            return false;
        written = index + 1;
        return true;
    };
    const RunEnd end = drawMoments(options, progress, take, error);
    // The frames already written are complete; say how far the sequence got.
    if (end == RunEnd::Interrupted) return stopRun(progress, folderState(options, written));
    if (end == RunEnd::Failed) {
        failRun(progress, error);
        return failRun(progress, folderState(options, written));
    }
    // The sequence is whole: frames beyond it, left by an earlier and longer run, would
    // read as part of it.
    const int64_t removed = removeFramesFrom(options.outputPath, options.momentCount, error);
    if (!error.empty()) return failRun(progress, error);
    progress.finish(options.momentCount, printable(options.outputPath), captureSeconds(options));
    if (removed > 0)
        std::fprintf(stderr,
                     "intro-render: removed %lld frames of an earlier run from %s (%s and on)\n",
                     static_cast<long long>(removed), printable(options.outputPath).c_str(),
                     frameName(options.momentCount).c_str());
    return 0;
}
