#pragma once
#include <cstdint>
#include <string>

class ArgbGfx;

// A contact sheet: thumbnails of the moments in rows of `columns`, left to right and top
// to bottom, each a whole canvas with its beat written below it in the show's font, on a
// neutral grey. Sizes here are in canvas pixels; the written sheet is scaled as a whole.
constexpr int32_t kSheetMargin = 4;       // around the thumbnails
constexpr int32_t kSheetGap = 4;          // between neighbouring cells
constexpr int32_t kSheetLabelGap = 2;     // between a thumbnail and its label
constexpr int32_t kSheetLabelHeight = 5;  // one line of the 5 x 5 font
constexpr uint32_t kSheetBackground = 0xFF404040;
constexpr uint32_t kSheetLabelColor = 0xFFE0E0E0;

// The largest sheet written, after scaling: per side and in total.
constexpr int64_t kMaxSheetSide = 16384;
constexpr int64_t kMaxSheetPixels = int64_t(1) << 26;

struct SheetLayout {
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t width = 0;   // unscaled
    int32_t height = 0;  // unscaled
};

// The layout of count thumbnails with at most `columns` per row (fewer when there are fewer
// thumbnails). False with a reason when the scaled sheet would exceed the limits above.
bool planSheet(int64_t count, int32_t columns, int32_t scale, SheetLayout& layout,
               std::string& error);

// The beat as a label of at most 10 characters (the width of a thumbnail in the font):
// the shortest of up to 10 significant digits that fits.
std::string beatLabel(double beat);

// Prepares sheet as the unscaled layout filled with the background. False when it cannot
// be allocated.
bool prepareSheet(ArgbGfx& sheet, const SheetLayout& layout);

// Copies the canvas into cell `index` of the sheet and writes its label below it.
void placeThumbnail(ArgbGfx& sheet, const SheetLayout& layout, int64_t index, const ArgbGfx& canvas,
                    const std::string& label);
