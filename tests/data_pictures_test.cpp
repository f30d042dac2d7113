// The pictures of the generated data folder: they decode, have the sizes the show reads,
// and their alpha is what the masked blit expects.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

bool decode(const std::string& name, Decoded& out) {
    std::string path = std::string(DATA_PACK_DIR) + "/" + name;
    int channels = 0;
    stbi_uc* data = stbi_load(path.c_str(), &out.width, &out.height, &channels, 4);
    if (!data) return false;
    out.rgba.assign(data, data + static_cast<size_t>(out.width) * out.height * 4);
    stbi_image_free(data);
    return true;
}

std::string frameName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "jtranim/jtr%2.2d.png", number);
    return name;
}

enum class Alpha { Opaque, Sprite };

struct PictureRule {
    std::string name;
    int minWidth, minHeight;
    bool exact;  // exactly minWidth x minHeight
    Alpha alpha;
};

std::vector<PictureRule> pictureRules() {
    std::vector<PictureRule> rules = {
        {"barf.png", 64, 64, true, Alpha::Opaque},
        {"lonestar.png", 64, 64, true, Alpha::Sprite},
        {"glasses.png", 128, 128, false, Alpha::Opaque},
        {"darkhelmet.png", 64, 64, true, Alpha::Opaque},
        {"darkhelmetnomask.png", 64, 64, true, Alpha::Opaque},
        {"rasberry.png", 20, 20, false, Alpha::Sprite},
        {"lowrezqr.png", 64, 64, true, Alpha::Opaque},
    };
    for (int n = 1; n <= 35; ++n) rules.push_back({frameName(n), 64, 64, true, Alpha::Sprite});
    return rules;
}

// Every picture decodes, meets its size rule, and uses only alpha 0 and 255: full
// pictures are opaque everywhere, sprites have both opaque and transparent pixels.
TEST(DataPictures, DecodeWithSizesAndAlphaTheShowNeeds) {
    for (const PictureRule& rule : pictureRules()) {
        SCOPED_TRACE(rule.name);
        Decoded pic;
        ASSERT_TRUE(decode(rule.name, pic)) << stbi_failure_reason();
        if (rule.exact) {
            EXPECT_EQ(pic.width, rule.minWidth);
            EXPECT_EQ(pic.height, rule.minHeight);
        } else {
            EXPECT_GE(pic.width, rule.minWidth);
            EXPECT_GE(pic.height, rule.minHeight);
        }
        size_t opaque = 0, transparent = 0, other = 0;
        for (size_t i = 3; i < pic.rgba.size(); i += 4) {
            uint8_t a = pic.rgba[i];
            if (a == 255)
                ++opaque;
            else if (a == 0)
                ++transparent;
            else
                ++other;
        }
        EXPECT_EQ(other, 0u);
        if (rule.alpha == Alpha::Opaque) {
            EXPECT_EQ(transparent, 0u);
        } else {
            EXPECT_GT(opaque, 0u);
            EXPECT_GT(transparent, 0u);
        }
    }
}

// The sprite stays a small sprite, not a full picture.
TEST(DataPictures, RaspberryIsSmall) {
    Decoded pic;
    ASSERT_TRUE(decode("rasberry.png", pic));
    EXPECT_LE(pic.width, 28);
    EXPECT_LE(pic.height, 28);
}

// The star's surround lets the background through: all four corners are transparent.
TEST(DataPictures, LonestarCornersAreTransparent) {
    Decoded pic;
    ASSERT_TRUE(decode("lonestar.png", pic));
    for (int y : {0, 63})
        for (int x : {0, 63})
            EXPECT_EQ(pic.rgba[(static_cast<size_t>(y) * 64 + x) * 4 + 3], 0) << x << "," << y;
}

// The animation moves: frames 1 to 32 (the burst and the four-per-beat run) each differ
// from the one before, and the three holds differ from each other and from frame 32.
TEST(DataPictures, AnimationFramesAllDiffer) {
    std::vector<Decoded> frames(36);
    for (int n = 1; n <= 35; ++n) ASSERT_TRUE(decode(frameName(n), frames[n])) << n;
    for (int n = 2; n <= 35; ++n) EXPECT_NE(frames[n].rgba, frames[n - 1].rgba) << n;
}

// The floor is a texture, not a flat fill: the row the floor shows at the end of its
// scene (127) still changes along its columns, so the perspective lines stay visible.
TEST(DataPictures, GlassesLastRowHasPattern) {
    Decoded pic;
    ASSERT_TRUE(decode("glasses.png", pic));
    ASSERT_GE(pic.height, 128);
    size_t row = static_cast<size_t>(127) * pic.width * 4;
    int changes = 0;
    for (int x = 1; x < 128; ++x)
        if (std::memcmp(&pic.rgba[row + x * 4], &pic.rgba[row + (x - 1) * 4], 3) != 0) ++changes;
    EXPECT_GE(changes, 8);
}

}  // namespace
