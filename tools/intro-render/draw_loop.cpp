#include "draw_loop.h"

#include "demo/frame_canvas.h"
#include "gfx/argb_gfx.h"
#include "interrupt.h"

#include <cstdio>

RunEnd drawMoments(const RenderOptions& options, Progress& progress, const TakeFrame& take,
                   std::string& error) {
    ArgbGfx canvas;
    int64_t index = 0;
    for (const MomentSource& source : options.moments)
        for (int64_t i = 0; i < source.count; ++i, ++index) {
            if (interrupted()) return RunEnd::Interrupted;
            const FrameTime time = momentTime(source, i);
            if (!drawFreshFrame(canvas, time)) {
                error = "out of memory for the frame canvas";
                return RunEnd::Failed;
            }
            if (!take(canvas, time, index, error))
                return interrupted() ? RunEnd::Interrupted : RunEnd::Failed;
            progress.update(index + 1);
        }
    return interrupted() ? RunEnd::Interrupted : RunEnd::Done;
}

double captureSeconds(const RenderOptions& options) {
    if (options.moments.size() != 1 || options.moments[0].kind != MomentSource::Kind::Frames)
        return 0;
    return double(options.momentCount) / double(options.moments[0].fps);
}

int failRun(Progress& progress, const std::string& message) {
    progress.interrupt();
    std::fprintf(stderr, "intro-render: %s\n", message.c_str());
    return 1;
}

int stopRun(Progress& progress, const std::string& outcome) {
    progress.interrupt();
    std::fprintf(stderr, "intro-render: interrupted; %s\n", outcome.c_str());
    return interruptedStatus();
}

int endedEarly(RunEnd end, Progress& progress, const std::string& error,
               const std::string& outcome) {
    return end == RunEnd::Interrupted ? stopRun(progress, outcome) : failRun(progress, error);
}

int stepFailed(Progress& progress, const std::string& error, const std::string& outcome) {
    return interrupted() ? stopRun(progress, outcome) : failRun(progress, error);
}
