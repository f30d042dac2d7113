// Any moment of the show over any slot contents: the time (a beat or seconds, from raw
// double bits, so NaN, infinities and subnormals included), and for each of the 42 image
// slots nothing, the size the show expects, or any size (also a drawable area smaller
// than the buffer), with pixel values from the input. Drawn the way the intro draws, and
// once more into a canvas without buffer.
//
// Input layout, read front to back; missing bytes read as 0:
//   time kind (1 byte) and its value (8 bytes), canvas kind (1 byte), then per slot in
//   load order: kind (1 byte), width and height (2 bytes each, for kinds 2 and 3), the
//   visible width and height (2 bytes each, kind 3) and a pixel seed (1 byte, every kind
//   but 1, which leaves the slot empty).
#include "assets/image_slots.h"
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Low byte first; the two reads are sequenced by the statements.
    uint16_t u16() {
        const unsigned low = byte();
        return uint16_t(low | unsigned(byte()) << 8);
    }
    double rawDouble() {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= uint64_t(byte()) << (8 * i);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// Values the music clock never produces but a frame must survive.
const double kOddTimes[] = {
    std::numeric_limits<double>::quiet_NaN(),
    -std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    std::numeric_limits<double>::max(),
    -std::numeric_limits<double>::max(),
    std::numeric_limits<double>::denorm_min(),
    -0.0,
    2147483647.0,
    2147483648.0,
    -2147483648.0,
    -2147483649.0,
    4294967296.0 * 8,
    -1e-300,
    335.99999999999994,
    1e15,
};

FrameTime timeFrom(Input& in) {
    const uint8_t kind = in.byte() % 5;
    const double value = in.rawDouble();
    switch (kind) {
    case 0: {
        // Beats across the whole show and a little around it, 1/1024 beat apart.
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return frameTimeAtBeat(-16.0 + double(bits % (368 * 1024)) / 1024.0);
    }
    case 1: return frameTimeAtBeat(value);
    case 2: return frameTimeAtSeconds(value);
    case 3: {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return frameTimeAtBeat(kOddTimes[bits % (sizeof kOddTimes / sizeof kOddTimes[0])]);
    }
    default: {
        // Just beside whole beats, where windows open and close.
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        const double whole = double(int64_t(bits % 400) - 20);
        return frameTimeAtBeat(std::nextafter(whole, (bits >> 32) & 1 ? 1e9 : -1e9));
    }
    }
}

// Pixels from a small generator: alpha above and below the sprite threshold alike.
void fillPixels(ArgbGfx& slot, uint8_t seed) {
    uint32_t state = 0x9E3779B9u ^ (uint32_t(seed) * 0x01000193u);
    const size_t count = size_t(slot.pitch) * size_t(slot.rows);
    for (size_t i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        slot.pixels[i] = state;
    }
}

// Largest buffer given to one slot, in pixels: keeps a run of 42 slots fast.
constexpr uint32_t kMaxSlotPixels = 160 * 160;

// What one slot was made from; the same spec makes the same slot, so an unchanged spec
// skips the work of filling it again.
struct SlotSpec {
    uint8_t kind = 0xFF;  // none yet
    int32_t w = 0, h = 0, visibleW = 0, visibleH = 0;
    uint8_t seed = 0;
    bool operator==(const SlotSpec& o) const {
        return kind == o.kind && w == o.w && h == o.h && visibleW == o.visibleW &&
               visibleH == o.visibleH && seed == o.seed;
    }
};

void fillSlot(Input& in, ArgbGfx& slot, SlotSpec& made, int32_t showWidth, int32_t showHeight) {
    SlotSpec spec;
    spec.kind = in.byte() % 4;
    spec.w = showWidth;
    spec.h = showHeight;
    if (spec.kind >= 2) {
        spec.w = in.u16() % 1025;
        spec.h = in.u16() % 1025;
        if (spec.w && uint32_t(spec.w) * uint32_t(spec.h) > kMaxSlotPixels)
            spec.h = int32_t(kMaxSlotPixels / uint32_t(spec.w));
    }
    spec.visibleW = spec.w;
    spec.visibleH = spec.h;
    if (spec.kind == 3) {
        // A drawable area inside a larger buffer: readers must address rows by pitch.
        const uint16_t visibleW = in.u16();
        const uint16_t visibleH = in.u16();
        spec.visibleW = visibleW % (spec.w + 1);
        spec.visibleH = visibleH % (spec.h + 1);
    }
    if (spec.kind != 1) spec.seed = in.byte();
    if (spec == made) return;
    made = spec;
    if (spec.kind == 1) {
        slot.allocate(-1, -1);  // empty, as after a failed load
        return;
    }
    slot.allocate(spec.w, spec.h);
    if (!slot.pixels) std::abort();
    slot.width = spec.visibleW;
    slot.height = spec.visibleH;
    fillPixels(slot, spec.seed);
}

// The slots in load order with the size the show expects of each.
struct SlotUse {
    ArgbGfx* slot;
    int32_t showWidth, showHeight;
};

std::vector<SlotUse> slotsInLoadOrder() {
    std::vector<SlotUse> slots = {{&imgBarf, 64, 64},
                                  {&imgLonestar, 64, 64},
                                  {&imgGlasses, 128, 128},
                                  {&imgDarkHelmet, 64, 64},
                                  {&imgRasberry, 24, 24}};
    for (ArgbGfx& frame : animFrames) slots.push_back({&frame, 64, 64});
    slots.push_back({&imgDarkHelmetNoMask, 64, 64});
    slots.push_back({&imgLowrezQr, 64, 64});
    return slots;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const FrameTime time = timeFrom(in);
    const uint8_t canvasKind = in.byte();

    static const std::vector<SlotUse> slots = slotsInLoadOrder();
    static std::vector<SlotSpec> made(slots.size());
    for (size_t i = 0; i < slots.size(); ++i)
        fillSlot(in, *slots[i].slot, made[i], slots[i].showWidth, slots[i].showHeight);

    ArgbGfx canvas;
    if (!drawFreshFrame(canvas, time)) std::abort();
    if (canvas.width != kCanvasSize || canvas.height != kCanvasSize || canvas.pitch != kCanvasSize)
        std::abort();
    if (canvasKind & 1) {
        // A frame whose canvas allocation failed draws nothing and writes nowhere.
        ArgbGfx empty;
        drawFrame(empty, time);
        if (empty.pixels || empty.width || empty.height) std::abort();
    }
    return 0;
}
