// The full-canvas copy with pictures of other sizes or none, empty slots, a canvas
// without buffer, and times no music produces.
#include "assets/data_pack_manifest.h"
#include "scenes_support.h"

using namespace scenes_test;

namespace {

const uint32_t kRed = 0x003333FF;
const uint32_t kLitter = 0xDEADBEEF;

// A canvas whose pixels hold litter, so a copy that leaves any pixel alone shows.
void drawOverLitter(ArgbGfx& canvas, double beat) {
    canvas.allocate(64, 64);
    canvas.color = 0;
    for (int32_t i = 0; i < 64 * 64; ++i) canvas.pixels[i] = kLitter;
    drawFrame(canvas, frameTimeAtBeat(beat));
}

// The helmet's overlap with the canvas, read through its pitch; 0 elsewhere; then "one".
void composeCopyWithOne(ArgbGfx& expected) {
    setUpCanvas(expected);
    for (int32_t y = 0; y < imgDarkHelmet.height && y < 64; ++y)
        for (int32_t x = 0; x < imgDarkHelmet.width && x < 64; ++x)
            expected.pixels[y * 64 + x] = imgDarkHelmet.pixels[y * imgDarkHelmet.pitch + x];
    drawOutlinedText(expected, 24, 38, "one", kRed);
}

std::vector<double> beatsAcrossTheShow() {
    std::vector<double> beats;
    for (double beat = -3; beat < 336; beat += 0.0625) beats.push_back(beat);
    return beats;
}

}  // namespace

// Alpha below 0x80 is copied too: the copy is not a masked blit.
TEST_F(Show, FullCanvasCopyReplacesEveryPixelAlphaIncluded) {
    ArgbGfx actual, expected;
    drawOverLitter(actual, 36.5);
    composeCopyWithOne(expected);
    EXPECT_TRUE(sameCanvas(actual, expected));
}

TEST_F(Show, FullCanvasCopyOfAWideShortHelmetFillsTheRestWithZero) {
    fillPicture(imgDarkHelmet, 70, 50, 40);
    ArgbGfx actual, expected;
    drawOverLitter(actual, 36.5);
    composeCopyWithOne(expected);
    EXPECT_TRUE(sameCanvas(actual, expected));
}

TEST_F(Show, FullCanvasCopyOfANarrowTallHelmetFillsTheRestWithZero) {
    fillPicture(imgDarkHelmet, 30, 80, 41);
    ArgbGfx actual, expected;
    drawOverLitter(actual, 36.5);
    composeCopyWithOne(expected);
    EXPECT_TRUE(sameCanvas(actual, expected));
}

// A drawable area narrower than the buffer: rows are still addressed through the pitch.
TEST_F(Show, FullCanvasCopyAddressesHelmetRowsThroughItsPitch) {
    fillPicture(imgDarkHelmet, 64, 64, 42);
    imgDarkHelmet.width = 50;
    imgDarkHelmet.height = 40;
    ArgbGfx actual, expected;
    drawOverLitter(actual, 36.5);
    composeCopyWithOne(expected);
    EXPECT_TRUE(sameCanvas(actual, expected));
}

// With no helmet the canvas becomes black and the texts and sprite still draw.
TEST_F(Show, FullCanvasCopyWithoutHelmetClearsAndTheBlockGoesOn) {
    imgDarkHelmet.allocate(-1, -1);
    ArgbGfx actual, expected;
    drawOverLitter(actual, 44.5);
    compose(expected, 44.5,
            {outlined(24, 38, "one", kRed), outlined(24, 46, "man", kRed), rasberryAt(20, 24)});
    EXPECT_TRUE(sameCanvas(actual, expected));
}

// Every picture of the pack differs from every other and from black, so a swapped or
// missing picture shows in the tests above.
TEST_F(Show, TestPackPicturesAreDistinguishable) {
    std::vector<const ArgbGfx*> slots;
    for (const PackPicture& picture : packPictures()) slots.push_back(picture.slot);
    std::vector<std::vector<uint32_t>> drawn;
    ArgbGfx black;
    setUpCanvas(black);
    for (const ArgbGfx* slot : slots) {
        ArgbGfx canvas;
        compose(canvas, 0, {picture(*slot)});
        EXPECT_FALSE(sameCanvas(canvas, black));
        drawn.emplace_back(canvas.pixels, canvas.pixels + 64 * 64);
    }
    for (size_t i = 0; i < drawn.size(); ++i)
        for (size_t j = i + 1; j < drawn.size(); ++j)
            EXPECT_NE(drawn[i], drawn[j]) << i << " " << j;
}

TEST_F(Show, EmptySlotsLeaveOnlyTextsAndLines) {
    emptyTestPack();
    EXPECT_TRUE(showsAt(101, {redCross()}));
    EXPECT_TRUE(showsAt(146, {}));
    EXPECT_TRUE(showsAt(223, {warpAt(45)}));
    EXPECT_TRUE(showsAt(330, {}));
    for (double beat : beatsAcrossTheShow()) {
        ArgbGfx canvas;
        drawShowAt(canvas, beat);
    }
}

TEST_F(Show, CanvasWithoutBufferGetsNothingAtAnyBeat) {
    for (double beat : beatsAcrossTheShow()) {
        ArgbGfx canvas;
        drawFrame(canvas, frameTimeAtBeat(beat));
        ASSERT_EQ(canvas.pixels, nullptr);
        ASSERT_EQ(canvas.width, 0);
    }
}

TEST_F(Show, SameBeatDrawsTheSameCanvas) {
    for (double beat : beatsAcrossTheShow()) {
        ArgbGfx first, second;
        drawShowAt(first, beat);
        drawShowAt(second, beat);
        ASSERT_TRUE(sameCanvas(first, second)) << "beat " << beat;
    }
}

// NaN and +inf fall into the second end half (NaN draws nothing); -inf and beats at or
// below -1 into the first, where the swing of a NaN position stays off the canvas.
TEST_F(Show, TimesNoMusicProducesDrawSafely) {
    EXPECT_TRUE(showsAt(std::nan(""), {}));
    EXPECT_TRUE(showsAt(HUGE_VAL, {picture(imgLowrezQr)}));
    EXPECT_TRUE(showsAt(-HUGE_VAL, {warpAt(-HUGE_VAL)}));
    EXPECT_TRUE(showsAt(-1, {endWarp(), swing()}));
    EXPECT_TRUE(showsAt(-5, {endWarp(), swing()}));
    EXPECT_TRUE(showsAt(-1e300, {endWarp(), swing()}));
    EXPECT_TRUE(showsAt(4294967296.0, {picture(imgLowrezQr)}));
}
