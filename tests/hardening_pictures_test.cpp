// Every hostile picture case through the loader's real entry point: the exact reason, the
// slot left empty; the controls load. Then the budget for all pictures together.
#include "assets/image_loader.h"
#include "gfx/argb_gfx.h"

#include "assets_test_files.h"
#include "picture_cases.h"

#include <gtest/gtest.h>

#include <string>

TEST(HostilePictures, EachGivesItsReasonOrLoads) {
    TempFolder folder;
    const std::vector<PictureCase> cases = hostilePictureCases();
    ASSERT_GT(cases.size(), 30u);
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.file(c.name + ".png");
        writeBytes(path, c.bytes);
        ArgbGfx slot;
        std::string problem;
        const bool loaded = tryLoadImageInto(path.c_str(), slot, problem);
        if (c.reason.empty()) {
            EXPECT_TRUE(loaded) << problem;
            EXPECT_NE(slot.pixels, nullptr);
        } else {
            EXPECT_FALSE(loaded);
            EXPECT_EQ(problem, "cannot load " + path + ": " + c.reason);
            EXPECT_EQ(slot.pixels, nullptr);
        }
    }
}

// The palette pictures that load give their palette's colours at the right places,
// through the interlace passes and the packing of 2-bit indices.
TEST(HostilePictures, PaletteControlsDecodeExactly) {
    TempFolder folder;
    const uint32_t red = 0xFF0000FFu, green = 0xFF00FF00u, blue = 0xFFFF0000u;
    struct Expected {
        const char* name;
        std::vector<uint32_t> pixels;
    };
    const Expected cases[] = {
        {"control-png-palette-2-bit", {red, green, blue, red, blue, green, red, green}},
        // Pass 1 gives (0,0) 1; pass 4 (2,0) 2; pass 5 (0,2) 0 and (2,2) 1; pass 6 (1,0) 1,
        // (3,0) 2, (1,2) 2, (3,2) 0; pass 7 rows 1 and 3: 0 1 2 1 and 2 1 0 0.
        {"control-png-palette-interlaced",
         {green, green, blue, blue, red, green, blue, green, red, blue, green, red, blue, green,
          red, red}},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(e.name);
        PictureCase c;
        ASSERT_TRUE(hostilePictureCase(e.name, c));
        const std::string path = folder.file("p.png");
        writeBytes(path, c.bytes);
        ArgbGfx slot;
        std::string problem;
        ASSERT_TRUE(tryLoadImageInto(path.c_str(), slot, problem)) << problem;
        EXPECT_EQ(std::vector<uint32_t>(slot.pixels, slot.pixels + slot.width * slot.height),
                  e.pixels);
    }
}

// The budget is checked from the header, before decoding: a picture that does not fit is
// left alone and says so; one that fits exactly loads.
TEST(PictureBudget, CheckedFromTheHeader) {
    TempFolder folder;
    const std::string path = folder.file("flat.png");
    writeBytes(path, flatPng(64, 32));
    ArgbGfx slot;
    std::string problem;
    uint64_t bytes = 0;
    EXPECT_EQ(loadPictureWithin(path.c_str(), slot, 64 * 32 * 4 - 1, bytes, problem),
              PictureLoad::overBudget);
    EXPECT_EQ(bytes, 64u * 32u * 4u);
    EXPECT_EQ(slot.pixels, nullptr);
    EXPECT_EQ(loadPictureWithin(path.c_str(), slot, 64 * 32 * 4, bytes, problem),
              PictureLoad::loaded)
        << problem;
    EXPECT_EQ(slot.width, 64);
    writeBytes(path, pngHeaderOnly(5000, 5000));
    EXPECT_EQ(loadPictureWithin(path.c_str(), slot, 1, bytes, problem), PictureLoad::refused);
    EXPECT_EQ(problem,
              "cannot load " + path + ": 5000x5000 pixels would decode to more than 64 MiB");
}
