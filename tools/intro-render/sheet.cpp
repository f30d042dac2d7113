#include "sheet.h"

#include "demo/frame_time.h"
#include "gfx/argb_gfx.h"
#include "gfx/font_5x5.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t kCellWidth = kCanvasSize;
constexpr int32_t kCellHeight = kCanvasSize + kSheetLabelGap + kSheetLabelHeight;
// Characters whose glyphs fit in a thumbnail's width.
constexpr size_t kLabelCharacters = (kCanvasSize + kGlyphAdvance - kGlyphSize) / kGlyphAdvance;

int64_t span(int64_t cells, int64_t cell) {
    return 2 * kSheetMargin + cells * cell + (cells - 1) * kSheetGap;
}

}  // namespace

bool planSheet(int64_t count, int32_t columns, int32_t scale, SheetLayout& layout,
               std::string& error) {
    if (count < 1 || columns < 1 || scale < 1) {
        error = "a sheet needs at least one moment, one column and a scale of 1 or more";
        return false;
    }
    // count is at most a few million and the other factors small: all of this fits in 64 bits.
    const int64_t cols = std::min<int64_t>(columns, count);
    const int64_t rows = (count + cols - 1) / cols;
    const int64_t width = span(cols, kCellWidth), height = span(rows, kCellHeight);
    const int64_t scaledWidth = width * scale, scaledHeight = height * scale;
    if (scaledWidth > kMaxSheetSide || scaledHeight > kMaxSheetSide ||
        scaledWidth * scaledHeight > kMaxSheetPixels) {
        error = "a sheet of " + std::to_string(count) + " moments in " + std::to_string(cols) +
                " columns at scale " + std::to_string(scale) + " would be " +
                std::to_string(scaledWidth) + " x " + std::to_string(scaledHeight) +
                " pixels, more than the limit of " + std::to_string(kMaxSheetSide) +
                " per side and " + std::to_string(kMaxSheetPixels) + " in all";
        return false;
    }
    layout.columns = int32_t(cols);
    layout.rows = int32_t(rows);
    layout.width = int32_t(width);
    layout.height = int32_t(height);
    return true;
}

std::string beatLabel(double beat) {
    char text[64] = "";
    for (int digits = 10; digits >= 1; --digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, beat);
        if (std::strlen(text) <= kLabelCharacters) break;
    }
    return text;
}

bool prepareSheet(ArgbGfx& sheet, const SheetLayout& layout) {
    sheet.allocate(layout.width, layout.height);
    if (!sheet.pixels) return false;
    std::fill(sheet.pixels, sheet.pixels + size_t(layout.width) * size_t(layout.height),
              kSheetBackground);
    return true;
}

void placeThumbnail(ArgbGfx& sheet, const SheetLayout& layout, int64_t index, const ArgbGfx& canvas,
                    const std::string& label) {
    assert(index >= 0 && index < int64_t(layout.columns) * layout.rows);
    assert(sheet.width == layout.width && sheet.height == layout.height);
    const int32_t column = int32_t(index % layout.columns), row = int32_t(index / layout.columns);
    const int32_t left = kSheetMargin + column * (kCellWidth + kSheetGap);
    const int32_t top = kSheetMargin + row * (kCellHeight + kSheetGap);
    // A plain copy: the canvas's alpha bytes mean nothing on screen, so no mask applies.
    const int32_t w = std::min(canvas.width, kCellWidth),
                  h = std::min(canvas.height, int32_t(kCanvasSize));
    for (int32_t y = 0; y < h; ++y)
        std::memcpy(sheet.pixels + size_t(top + y) * size_t(sheet.pitch) + size_t(left),
                    canvas.pixels + size_t(y) * size_t(canvas.pitch), size_t(w) * 4u);
    sheet.color = kSheetLabelColor;
    sheet.drawText(left, top + kCanvasSize + kSheetLabelGap, label.c_str());
}
