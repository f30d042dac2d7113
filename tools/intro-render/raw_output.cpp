#include "draw_loop.h"
#include "outputs.h"
#include "pending_file.h"
#include "assets/printable.h"
#include "scaled_image.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

int writeRaw(const RenderOptions& options) {
    Progress progress(options.progress, options.momentCount);
    const bool toStdout = options.outputPath == "-";
    const std::string outcome =
        toStdout ? "stdout cut short" : printable(options.outputPath) + " not written";
    PendingFile file;
    std::string error;
    if (!toStdout && !file.create(options.outputPath, error))
        return stepFailed(progress, error, outcome);

    std::vector<uint8_t> bytes;
    // A reader that stops early (| head -c 100) has all it wanted, as with any filter.
    bool readerGone = false;
    const TakeFrame take = [&](const ArgbGfx& canvas, const FrameTime&, int64_t,
                               std::string& error) {
        // Explicit R, G, B, A bytes: the canvas's memory order on every host.
        if (!scaleImage(canvas, 1, kRgbaBytes, bytes)) {
            error = "the frame canvas is empty";
            return false;
        }
        if (!toStdout) return file.write(bytes.data(), bytes.size(), error);
        if (writeAll(STDOUT_FILENO, bytes.data(), bytes.size())) return true;
        readerGone = errno == EPIPE;
        error = std::string("cannot write to stdout: ") + std::strerror(errno);
        return false;
    };
    const RunEnd end = drawMoments(options, progress, take, error);
    if (end == RunEnd::Failed && readerGone) {
        progress.interrupt();
        return 0;
    }
    if (end != RunEnd::Done) return endedEarly(end, progress, error, outcome);
    if (!toStdout && !file.commit(error)) return failRun(progress, error);
    progress.finish(options.momentCount, toStdout ? "stdout" : printable(options.outputPath),
                    captureSeconds(options));
    return 0;
}
