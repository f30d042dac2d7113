#include "demo/effects.h"

#include "assets/image_slots.h"
#include "gfx/argb_gfx.h"
#include "gfx/portable_trig.h"

#include <cmath>
#include <cstdint>

namespace {
constexpr int kSpokeCount = 10;
constexpr int32_t kRasberryColumn = 20;
}  // namespace

void spokesEffect(ArgbGfx& canvas, double beat) {
    canvas.clear();
    canvas.color = 0x2040E0;
    for (int i = 0; i < kSpokeCount; ++i) {
        // Radians; each spoke turns at its own constant speed in radians per beat.
        const double phi = portableSin(32.1 * i + 4) * beat + i;
        canvas.lineSmooth(32, 32, float(32 + 30 * portableSin(phi)),
                          float(32 + 30 * portableCos(phi)));
    }
    // Between 12 and 24 for every finite beat; an infinite or NaN beat gives no row and
    // leaves the picture out.
    const double row = std::trunc(18 - 6 * portableCos(beat));
    if (row >= 12 && row <= 24) blitMasked(canvas, imgRasberry, kRasberryColumn, int32_t(row));
}
