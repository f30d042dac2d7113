#include "draw_loop.h"
#include "gfx/argb_gfx.h"
#include "outputs.h"
#include "pending_file.h"
#include "png_bytes.h"
#include "assets/printable.h"
#include "scaled_image.h"
#include "sheet.h"

int writeSheet(const RenderOptions& options) {
    Progress progress(options.progress, options.momentCount);
    std::string error;
    SheetLayout layout;
    if (!planSheet(options.momentCount, options.columns, options.scale, layout, error))
        return failRun(progress, error);
    ArgbGfx sheet;
    const std::string name = printable(options.outputPath);
    if (!prepareSheet(sheet, layout))
        return failRun(progress, "out of memory for the sheet " + name);

    const TakeFrame take = [&](const ArgbGfx& canvas, const FrameTime& time, int64_t index,
                               std::string&) {
        placeThumbnail(sheet, layout, index, canvas, beatLabel(time.beat));
        return true;
    };
    const RunEnd end = drawMoments(options, progress, take, error);
    if (end != RunEnd::Done) return endedEarly(end, progress, error, name + " not written");

    std::vector<uint8_t> rgb;
    if (!scaleImage(sheet, options.scale, kRgbBytes, rgb))
        return failRun(progress, "the sheet " + name + " is too large to scale");
    const std::vector<uint8_t> png =
        encodePng(rgb, sheet.width * options.scale, sheet.height * options.scale, kRgbBytes);
    if (png.empty()) return failRun(progress, "cannot encode " + name + " as PNG");
    PendingFile file;
    if (!file.create(options.outputPath, error) || !file.write(png.data(), png.size(), error) ||
        !file.commit(error))
        return stepFailed(progress, error, name + " not written");
    progress.finish(options.momentCount, name, 0);
    return 0;
}
