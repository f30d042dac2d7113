#pragma once
// Test data and an independent composer for the show's frames: a whole expected canvas
// is built from the drawing primitives and the positions, texts and colours the show
// prescribes, then compared with what drawFrame draws.
#include "assets/image_slots.h"
#include "demo/effects.h"
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"
#include "gfx/text.h"

#include "canvas_support.h"
#include "test_pack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace scenes_test {

// The show's own drawing of a moment.
inline void drawShowAt(ArgbGfx& canvas, double beat) {
    ASSERT_TRUE(drawFreshFrame(canvas, frameTimeAtBeat(beat)));
}

// One expected drawing step; steps that move with time read the beat of the frame.
using Step = std::function<void(ArgbGfx&, double beat)>;

inline Step picture(const ArgbGfx& slot, int32_t x = 0, int32_t y = 0) {
    return [&slot, x, y](ArgbGfx& c, double) { blitMasked(c, slot, x, y); };
}
inline Step frame(int k) {
    return picture(animFrames[k]);
}
inline Step lonestar(int32_t x = 0, int32_t y = 0) {
    return picture(imgLonestar, x, y);
}
inline Step barf() {
    return picture(imgBarf);
}
inline Step outlined(int32_t x, int32_t y, const char* text, uint32_t color) {
    return [=](ArgbGfx& c, double) { drawOutlinedText(c, x, y, text, color); };
}
inline Step plain(int32_t x, int32_t y, const char* text, uint32_t color) {
    return [=](ArgbGfx& c, double) {
        c.color = color;
        c.drawText(x, y, text);
    };
}
inline Step jam() {
    return outlined(21, 34, "jam", 0x003333FF);
}
inline Step it() {
    return outlined(24, 44, "it", 0x003333FF);
}
inline Step shitload() {
    return outlined(8, 14, "SHITLOAD", 0x0030FF60);
}
inline Step of() {
    return outlined(8, 24, "   OF", 0x0030FF60);
}
inline Step money() {
    return outlined(11, 34, " money", 0x0030FF60);
}
inline Step spokes() {
    return [](ArgbGfx& c, double beat) { spokesEffect(c, beat); };
}
inline Step floorZoom() {
    return [](ArgbGfx& c, double beat) { floorZoomEffect(c, beat); };
}
inline Step warpAt(double t) {
    return [t](ArgbGfx& c, double) { warpEffect(c, t); };
}
// Blocks 20 to 29: the warp's time is the beat minus 178.
inline Step warpFrom178() {
    return [](ArgbGfx& c, double beat) { warpEffect(c, beat - 178); };
}
// First end half: d = beat - 261, slowed tenfold from 0 on; t = d + d.
inline Step endWarp() {
    return [](ArgbGfx& c, double beat) {
        double d = beat - 261;
        if (d >= 0) d *= 0.1;
        warpEffect(c, d + d);
    };
}
inline Step rasberryAt(int32_t x, int32_t y) {
    return picture(imgRasberry, x, y);
}
// The pendulum: a = beat * 3.14159, (20 - 10 cos(a / 2), 18 - 10 cos(a)) truncated.
inline Step swing() {
    return [](ArgbGfx& c, double beat) {
        const double a = beat * 3.14159;
        blitMasked(c, imgRasberry, int32_t(20 - 10 * std::cos(a * 0.5)),
                   int32_t(18 - 10 * std::cos(a)));
    };
}
// The helmet's 4,096 pixels copied as they lie (a 64 x 64 picture).
inline Step helmetCopy() {
    return [](ArgbGfx& c, double) { std::memcpy(c.pixels, imgDarkHelmet.pixels, 16384); };
}
inline Step redCross() {
    return [](ArgbGfx& c, double) {
        c.color = 0x000000FF;
        c.lineSmooth(10, 10, 54, 54);
        c.lineSmooth(10, 54, 54, 10);
    };
}

inline void compose(ArgbGfx& canvas, double beat, const std::vector<Step>& steps) {
    setUpCanvas(canvas);
    for (const Step& step : steps) step(canvas, beat);
}

// The show at `beat` against the composition of `steps`.
inline ::testing::AssertionResult showsAt(double beat, const std::vector<Step>& steps) {
    ArgbGfx actual, expected;
    drawShowAt(actual, beat);
    compose(expected, beat, steps);
    char where[48];
    std::snprintf(where, sizeof where, "beat %.17g: ", beat);
    ::testing::AssertionResult result = sameCanvas(actual, expected);
    if (!result) return ::testing::AssertionFailure() << where << result.message();
    return result;
}

// The nearest representable beats above and below b.
inline double up(double b) {
    return std::nextafter(b, HUGE_VAL);
}
inline double down(double b) {
    return std::nextafter(b, -HUGE_VAL);
}

struct BeatCase {
    double beat;
    std::vector<Step> steps;
};

inline void expectCases(const std::vector<BeatCase>& cases) {
    for (const BeatCase& c : cases) EXPECT_TRUE(showsAt(c.beat, c.steps));
}

class Show : public ::testing::Test {
protected:
    void SetUp() override { fillTestPack(); }
    void TearDown() override { emptyTestPack(); }
};

}  // namespace scenes_test
