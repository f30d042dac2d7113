// The pictures intro-render writes: canvas pixels as sharp blocks, PNG bytes, and the
// layout and labels of a contact sheet.
#include "gfx/argb_gfx.h"
#include "png_bytes.h"
#include "scaled_image.h"
#include "sheet.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

// A 3 x 2 image whose every byte differs: pixel (x, y) = 0xA0B0C0D0 + 0x11 x (x + 3y).
void fillSmall(ArgbGfx& image) {
    image.allocate(3, 2);
    for (uint32_t i = 0; i < 6; ++i) image.pixels[i] = 0xA0B0C0D0u + 0x11111111u * i;
}

// Each pixel becomes a scale x scale block of its R, G, B(, A) bytes, nothing blended.
TEST(ScaledImage, PixelsBecomeSharpBlocksOfTheirBytes) {
    ArgbGfx image;
    fillSmall(image);
    for (int32_t channels : {kRgbBytes, kRgbaBytes}) {
        for (int32_t scale : {1, 3}) {
            SCOPED_TRACE(testing::Message() << channels << " channels, scale " << scale);
            std::vector<uint8_t> out;
            ASSERT_TRUE(scaleImage(image, scale, channels, out));
            ASSERT_EQ(out.size(), size_t(3 * scale * 2 * scale * channels));
            for (int32_t y = 0; y < 2 * scale; ++y)
                for (int32_t x = 0; x < 3 * scale; ++x) {
                    const uint32_t p =
                        0xA0B0C0D0u + 0x11111111u * uint32_t(x / scale + 3 * (y / scale));
                    const uint8_t* at = &out[size_t((y * 3 * scale + x) * channels)];
                    EXPECT_EQ(at[0], p & 0xFF);
                    EXPECT_EQ(at[1], p >> 8 & 0xFF);
                    EXPECT_EQ(at[2], p >> 16 & 0xFF);
                    if (channels == kRgbaBytes) {
                        EXPECT_EQ(at[3], p >> 24);
                    }
                }
        }
    }
}

TEST(ScaledImage, SizesAreCheckedAgainstTheLimit) {
    ArgbGfx image;
    image.allocate(64, 64);
    EXPECT_EQ(scaledByteSize(image, 8, kRgbaBytes, size_t(1) << 30), size_t(512 * 512 * 4));
    EXPECT_EQ(scaledByteSize(image, 8, kRgbaBytes, 512 * 512 * 4 - 1), 0u);
    // 64 x 2^30 per side would wrap 64-bit arithmetic done naively.
    EXPECT_EQ(scaledByteSize(image, 1 << 30, kRgbaBytes, std::numeric_limits<size_t>::max()), 0u);
    EXPECT_EQ(scaledByteSize(image, 0, kRgbBytes, size_t(1) << 30), 0u);
    // 64 x 4096 pixels square, 64 GiB: refused before anything is allocated.
    std::vector<uint8_t> out(7);
    EXPECT_FALSE(scaleImage(image, 4096, kRgbaBytes, out));
    EXPECT_TRUE(out.empty());
}

// The square at the largest whole scale, centred, rounded down; a 4:2:0 video takes even
// blocks at even places.
TEST(FramedImage, TheSquareLiesCentredAtTheLargestWholeScale) {
    struct Case {
        int32_t width, height;
        bool even;
        int32_t scale, left, top;
    } cases[] = {{1920, 1080, true, 16, 448, 28}, {1280, 720, false, 11, 288, 8},
                 {1280, 720, true, 10, 320, 40},  {1080, 1920, false, 16, 28, 448},
                 {130, 100, true, 0, 64, 50},     {130, 100, false, 1, 33, 18}};
    for (const Case& c : cases) {
        const FrameLayout layout = frameLayout(c.width, c.height, 64, c.even);
        EXPECT_EQ(layout.scale, c.scale) << c.width << "x" << c.height << " even " << c.even;
        EXPECT_EQ(layout.left, c.left) << c.width << "x" << c.height << " even " << c.even;
        EXPECT_EQ(layout.top, c.top) << c.width << "x" << c.height << " even " << c.even;
    }
}

// Every pixel of the frame: grey outside the square, the image's blocks inside.
TEST(FramedImage, GreyAroundTheBlocks) {
    ArgbGfx image;
    fillSmall(image);
    const FrameLayout layout = frameLayout(11, 8, 3, false);  // scale 2: x 2..7, y 1..4
    ASSERT_EQ(layout.scale, 2);
    std::vector<uint8_t> out;
    for (int32_t channels : {kRgbBytes, kRgbaBytes}) {
        ASSERT_TRUE(frameImage(image, layout, channels, out));
        ASSERT_EQ(out.size(), size_t(11 * 8 * channels));
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 11; ++x) {
                const bool inside = x >= 2 && x < 8 && y >= 1 && y < 5;
                const uint32_t p =
                    inside ? 0xA0B0C0D0u + 0x11111111u * uint32_t((x - 2) / 2 + 3 * ((y - 1) / 2))
                           : 0xFF505050u;
                const uint8_t* at = &out[size_t((y * 11 + x) * channels)];
                for (int32_t k = 0; k < channels; ++k)
                    EXPECT_EQ(at[k], p >> (8 * k) & 0xFF) << x << "," << y << " byte " << k;
            }
    }
    // A frame the square does not fit: nothing.
    EXPECT_FALSE(frameImage(image, frameLayout(5, 6, 2, false), kRgbBytes, out));
    EXPECT_TRUE(out.empty());
}

TEST(PngEncode, DecodesToTheSameRgbBytes) {
    ArgbGfx image;
    fillSmall(image);
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(scaleImage(image, 2, kRgbBytes, rgb));
    const std::vector<uint8_t> png = encodePng(rgb, 6, 4, 3);
    ASSERT_FALSE(png.empty());
    int w = 0, h = 0, channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(png.data(), int(png.size()), &w, &h, &channels, 0);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 4);
    EXPECT_EQ(channels, 3);
    EXPECT_EQ(std::vector<uint8_t>(decoded, decoded + 6 * 4 * 3), rgb);
    stbi_image_free(decoded);
    // A buffer of the wrong size is refused rather than read past its end.
    EXPECT_TRUE(encodePng(rgb, 7, 4, 3).empty());
}

// Width: margins of 4, 64 per thumbnail, gaps of 4; height: 64 + 2 + 5 per row.
TEST(Sheet, LayoutFollowsCountAndColumns) {
    struct Case {
        int64_t count;
        int32_t columns;
        int32_t cols, rows, width, height;
    };
    const Case cases[] = {
        {1, 8, 1, 1, 72, 79},
        {8, 8, 8, 1, 548, 79},
        {9, 8, 8, 2, 548, 154},
        {84, 10, 10, 9, 684, 679},
    };
    for (const Case& c : cases) {
        SheetLayout layout;
        std::string error;
        ASSERT_TRUE(planSheet(c.count, c.columns, 1, layout, error)) << error;
        EXPECT_EQ(layout.columns, c.cols) << c.count;
        EXPECT_EQ(layout.rows, c.rows) << c.count;
        EXPECT_EQ(layout.width, c.width) << c.count;
        EXPECT_EQ(layout.height, c.height) << c.count;
    }
}

TEST(Sheet, OversizedSheetsAreRefused) {
    SheetLayout layout;
    std::string error;
    // 84 thumbnails at scale 2 (the show's sheet) fit; at scale 64 a row is 35072 wide.
    EXPECT_TRUE(planSheet(84, 8, 2, layout, error));
    EXPECT_FALSE(planSheet(84, 8, 64, layout, error));
    // One column of ten million thumbnails: far too tall.
    EXPECT_FALSE(planSheet(10000000, 1, 1, layout, error));
    EXPECT_NE(error.find("more than the limit"), std::string::npos) << error;
}

TEST(Sheet, LabelsFitUnderAThumbnail) {
    EXPECT_EQ(beatLabel(0), "0");
    EXPECT_EQ(beatLabel(0.30000000000000004), "0.3");
    EXPECT_EQ(beatLabel(247 * 0.05), "12.35");
    EXPECT_EQ(beatLabel(-0.5), "-0.5");
    EXPECT_EQ(beatLabel(322), "322");
    EXPECT_EQ(beatLabel(123456.789012), "123456.789");
    EXPECT_EQ(beatLabel(-1.0 / 3), "-0.3333333");
    EXPECT_EQ(beatLabel(1e300), "1e+300");
}

// The canvas lands in its cell unmasked, its label below in the font, the rest stays grey.
TEST(Sheet, ThumbnailAndLabelLandInTheirCell) {
    SheetLayout layout;
    std::string error;
    ASSERT_TRUE(planSheet(3, 2, 1, layout, error));
    ArgbGfx sheet, canvas, expected;
    ASSERT_TRUE(prepareSheet(sheet, layout));
    canvas.allocate(64, 64);
    for (uint32_t i = 0; i < 64 * 64; ++i) canvas.pixels[i] = i * 0x01010101u;  // alpha 0 to 0xFF
    placeThumbnail(sheet, layout, 2, canvas, "7.5");

    // Cell 2 is the first of the second row: left 4, top 4 + 71 + 4.
    expected.allocate(layout.width, layout.height);
    for (int32_t i = 0; i < layout.width * layout.height; ++i)
        expected.pixels[i] = kSheetBackground;
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x)
            expected.pixels[(79 + y) * layout.width + 4 + x] = canvas.pixels[y * 64 + x];
    expected.color = kSheetLabelColor;
    expected.drawText(4, 79 + 66, "7.5");
    for (int32_t i = 0; i < layout.width * layout.height; ++i)
        ASSERT_EQ(sheet.pixels[i], expected.pixels[i])
            << "pixel " << i % layout.width << ", " << i / layout.width;
}

}  // namespace
