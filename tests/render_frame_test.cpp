// The frame canvas every moment is drawn on, shared by the intro and intro-render.
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"
#include "assets/image_slots.h"

#include "canvas_support.h"
#include "test_pack.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace {

using scenes_test::fillPicture;

// Whatever the canvas held before, it comes out 64 x 64, colour 0, every pixel 0.
TEST(FrameCanvas, PreparedCanvasIsFreshAndBlack) {
    ArgbGfx canvas;
    canvas.allocate(13, 7);
    std::memset(canvas.pixels, 0xAB, 13 * 7 * 4);
    canvas.color = 0xFFFFFFFF;
    ASSERT_TRUE(prepareFrameCanvas(canvas));
    EXPECT_EQ(canvas.width, 64);
    EXPECT_EQ(canvas.height, 64);
    EXPECT_EQ(canvas.pitch, 64);
    EXPECT_EQ(canvas.rows, 64);
    EXPECT_EQ(canvas.color, 0u);
    for (int i = 0; i < 64 * 64; ++i) ASSERT_EQ(canvas.pixels[i], 0u) << "pixel " << i;
}

// The pictures of the moments below: the helmet, the floor, the first animation frame,
// the star and the rasberry.
class FreshFrame : public testing::Test {
protected:
    void SetUp() override {
        fillPicture(imgDarkHelmet, 64, 64, 1);
        fillPicture(imgGlasses, 128, 128, 2);
        fillPicture(animFrames[0], 64, 64, 3);
        fillPicture(imgLonestar, 64, 64, 4);
        fillPicture(imgRasberry, 24, 20, 5);
    }
    void TearDown() override {
        for (ArgbGfx* slot :
             {&imgDarkHelmet, &imgGlasses, &animFrames[0], &imgLonestar, &imgRasberry})
            slot->allocate(-1, -1);
    }
};

// A canvas that held another moment draws the same as a new one: nothing survives.
TEST_F(FreshFrame, SameMomentGivesIdenticalCanvases) {
    for (double beat : {20.5, 36.5, 101.0, 200.25, 276.5}) {
        SCOPED_TRACE(beat);
        ArgbGfx first, second;
        ASSERT_TRUE(drawFreshFrame(first, frameTimeAtBeat(beat)));
        ASSERT_TRUE(drawFreshFrame(second, frameTimeAtBeat(44.5)));
        ASSERT_TRUE(drawFreshFrame(second, frameTimeAtBeat(beat)));
        EXPECT_TRUE(sameCanvas(second, first));
    }
}

// Block 4 draws nothing up to beat 35; from just after it the helmet fills the canvas.
TEST_F(FreshFrame, MomentWithoutStepsIsAllZero) {
    ArgbGfx canvas, black;
    ASSERT_TRUE(prepareFrameCanvas(black));
    ASSERT_TRUE(drawFreshFrame(canvas, frameTimeAtBeat(34.5)));
    EXPECT_TRUE(sameCanvas(canvas, black));
    ASSERT_TRUE(drawFreshFrame(canvas, frameTimeAtBeat(35.5)));
    EXPECT_FALSE(sameCanvas(canvas, black));
}

}  // namespace
