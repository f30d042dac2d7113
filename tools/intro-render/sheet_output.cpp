#include "draw_loop.h"
#include "gfx/argb_gfx.h"
#include "outputs.h"
#include "pending_file.h"
#include "png_encode.h"
#include "scaled_image.h"
#include "sheet.h"

int writeSheet(const RenderOptions& options) {
    Progress progress(options.progress, options.momentCount);
    std::string error;
    SheetLayout layout;
    if (!planSheet(options.momentCount, options.columns, options.scale, layout, error)) return failRun(progress, error);
    ArgbGfx sheet;
    if (!prepareSheet(sheet, layout)) return failRun(progress, "out of memory for the sheet " + options.outputPath);

    const TakeFrame take = [&](const ArgbGfx& canvas, const FrameTime& time, int64_t index, std::string&) {
        placeThumbnail(sheet, layout, index, canvas, beatLabel(time.beat));
        return true;
    };
    const RunEnd end = drawMoments(options, progress, take, error);
    if (end != RunEnd::Done) return endedEarly(end, progress, error, options.outputPath + " not written");

    std::vector<uint8_t> rgb;
    if (!scaleImage(sheet, options.scale, kRgbBytes, rgb))
        return failRun(progress, "the sheet " + options.outputPath + " is too large to scale");
    const std::vector<uint8_t> png = encodeRgbPng(rgb, sheet.width * options.scale, sheet.height * options.scale);
    if (png.empty()) return failRun(progress, "cannot encode " + options.outputPath + " as PNG");
    PendingFile file;
    if (!file.create(options.outputPath, error) || !file.write(png.data(), png.size(), error) || !file.commit(error))
        return failRun(progress, error);
    progress.finish(options.momentCount, options.outputPath, 0);
    return 0;
}
