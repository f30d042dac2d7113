#include "draw_loop.h"
#include "gfx/argb_gfx.h"
#include "outputs.h"
#include "pending_file.h"
#include "png_encode.h"
#include "scaled_image.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// Writes the canvas at the run's scale as an RGB PNG under path, complete or not at all.
bool writeCanvasPng(const ArgbGfx& canvas, int32_t scale, const std::string& path, std::vector<uint8_t>& rgb,
                    std::string& error) {
    if (!scaleImage(canvas, scale, kRgbBytes, rgb)) {
        error = "cannot scale the canvas for " + path;
        return false;
    }
    const std::vector<uint8_t> png = encodeRgbPng(rgb, canvas.width * scale, canvas.height * scale);
    if (png.empty()) {
        error = "cannot encode " + path + " as PNG";
        return false;
    }
    PendingFile file;
    return file.create(path, error) && file.write(png.data(), png.size(), error) && file.commit(error);
}

// Creates dir and its missing parents; an existing folder is fine.
bool makeFolders(const std::string& dir, std::string& error) {
    for (size_t end = dir.find('/', 1); end != std::string::npos; end = dir.find('/', end + 1)) {
        const std::string folder = dir.substr(0, end);
        if (mkdir(folder.c_str(), 0777) == 0) continue;
        const int reason = errno;
        struct stat info;
        if (reason == EEXIST && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
        error = "cannot create folder " + folder + ": " + std::strerror(reason == EEXIST ? ENOTDIR : reason);
        return false;
    }
    return true;
}

std::string frameName(int64_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05lld.png", static_cast<long long>(index));
    return name;
}

}  // namespace

int writePngFile(const RenderOptions& options) {
    Progress progress(options.progress, options.momentCount);
    std::vector<uint8_t> rgb;
    std::string error;
    const TakeFrame take = [&](const ArgbGfx& canvas, const FrameTime&, int64_t, std::string& error) {
        return writeCanvasPng(canvas, options.scale, options.outputPath, rgb, error);
    };
    const RunEnd end = drawMoments(options, progress, take, error);
    if (end != RunEnd::Done) return endedEarly(end, progress, error, options.outputPath + " not written");
    progress.finish(options.momentCount, options.outputPath, 0);
    return 0;
}

int writePngFolder(const RenderOptions& options) {
    Progress progress(options.progress, options.momentCount);
    std::string error;
    if (!makeFolders(options.outputPath, error)) return failRun(progress, error);
    std::vector<uint8_t> rgb;
    int64_t written = 0;
    const TakeFrame take = [&](const ArgbGfx& canvas, const FrameTime&, int64_t index, std::string& error) {
        if (!writeCanvasPng(canvas, options.scale, options.outputPath + frameName(index), rgb, error)) return false;
        written = index + 1;
        return true;
    };
    const RunEnd end = drawMoments(options, progress, take, error);
    if (end == RunEnd::Interrupted) {
        // The frames already written are complete; say how far the sequence got.
        return stopRun(progress, options.outputPath + " holds the first " + std::to_string(written) + " of " +
                                     std::to_string(options.momentCount) + " frames");
    }
    if (end == RunEnd::Failed) return failRun(progress, error);
    progress.finish(options.momentCount, options.outputPath, captureSeconds(options));
    return 0;
}
