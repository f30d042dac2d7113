#include "assets/data_folder.h"
#include "assets/data_pack.h"
#include "assets/image_loader.h"
#include "assets/image_slots.h"
#include "assets_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct PackEntry {
    std::string name;  // relative to the data folder
    ArgbGfx* slot;
    int size;  // square pictures; the two size-bound slots get the size the show needs
};

// The 42 pictures in load order, written out here rather than taken from the pack's
// manifest: the file names are what users' data folders hold, so a change to them must
// fail here.
std::vector<PackEntry> packEntries() {
    std::vector<PackEntry> entries = {
        {"barf.png", &imgBarf, 8},         {"lonestar.png", &imgLonestar, 8},
        {"glasses.png", &imgGlasses, 128}, {"darkhelmet.png", &imgDarkHelmet, 64},
        {"rasberry.png", &imgRasberry, 8},
    };
    for (int n = 1; n <= kAnimFrameCount; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "jtranim/jtr%02d.png", n);
        entries.push_back({name, &animFrames[n - 1], 4});
    }
    entries.push_back({"darkhelmetnomask.png", &imgDarkHelmetNoMask, 8});
    entries.push_back({"lowrezqr.png", &imgLowrezQr, 8});
    return entries;
}

// Picture k of the pack is filled with this value, so a swapped slot shows.
uint32_t markerOf(size_t k) {
    return 0xFF000000u | uint32_t(k + 1) * 0x00010305u;
}

void writePack(const TempFolder& folder) {
    std::filesystem::create_directory(folder.file("jtranim"));
    const std::vector<PackEntry> entries = packEntries();
    for (size_t k = 0; k < entries.size(); ++k)
        writeSolidPng(folder.file(entries[k].name), entries[k].size, entries[k].size, markerOf(k));
}

// Tests share the global slots: start each from empty (allocate with a negative size frees).
class LoadImagesFrom : public testing::Test {
protected:
    void SetUp() override {
        for (const PackEntry& entry : packEntries()) entry.slot->allocate(-1, -1);
    }
    void TearDown() override { SetUp(); }

    static std::string loadCapturingStderr(const std::string& dir) {
        testing::internal::CaptureStderr();
        printPackLoad(loadImagesFrom(dir.c_str()), dir.c_str());
        return testing::internal::GetCapturedStderr();
    }

    // Slot k holds picture k, or is empty when its file was left out.
    static void expectPackLoaded(const std::vector<std::string>& leftOut = {}) {
        const std::vector<PackEntry> entries = packEntries();
        for (size_t k = 0; k < entries.size(); ++k) {
            SCOPED_TRACE(entries[k].name);
            const ArgbGfx& slot = *entries[k].slot;
            if (std::find(leftOut.begin(), leftOut.end(), entries[k].name) != leftOut.end()) {
                EXPECT_EQ(slot.pixels, nullptr);
                EXPECT_EQ(slot.width, 0);
                continue;
            }
            ASSERT_NE(slot.pixels, nullptr);
            EXPECT_EQ(slot.width, entries[k].size);
            EXPECT_EQ(slot.height, entries[k].size);
            EXPECT_EQ(slot.pixels[0], markerOf(k));
            EXPECT_EQ(slot.color, 0xFFFFFFFFu);
        }
    }
};

}  // namespace

// Each file lands in its slot (frame element i from jtr<i+1>), silently.
TEST_F(LoadImagesFrom, FullPackFillsEverySlotInOrder) {
    TempFolder folder;
    writePack(folder);
    EXPECT_EQ(loadCapturingStderr(folder.path + "/"), "");
    expectPackLoaded();
}

// A folder given without its trailing slash is the same folder.
TEST_F(LoadImagesFrom, FolderWithoutTrailingSlash) {
    TempFolder folder;
    writePack(folder);
    EXPECT_EQ(loadCapturingStderr(folder.path), "");
    expectPackLoaded();
}

// One warning per missing file, in load order; the rest of the pack still loads.
TEST_F(LoadImagesFrom, FewMissingFilesWarnOnceEach) {
    TempFolder folder;
    writePack(folder);
    const std::vector<std::string> missing = {"barf.png", "jtranim/jtr07.png", "lowrezqr.png"};
    for (const std::string& name : missing) std::filesystem::remove(folder.file(name));
    std::string expected;
    for (const std::string& name : missing)
        expected += "assets: cannot load " + folder.file(name) + ": No such file or directory\n";
    EXPECT_EQ(loadCapturingStderr(folder.path), expected);
    expectPackLoaded(missing);
}

// Pictures that the show reads at a fixed size are kept, with a warning naming that size.
TEST_F(LoadImagesFrom, WrongSizesOfGlassesAndDarkHelmetWarn) {
    TempFolder folder;
    writePack(folder);
    writeSolidPng(folder.file("glasses.png"), 128, 127, 0xFF0000FFu);
    writeSolidPng(folder.file("darkhelmet.png"), 64, 65, 0xFF0000FFu);
    EXPECT_EQ(loadCapturingStderr(folder.path),
              "assets: " + folder.file("glasses.png") +
                  " is 128x127 pixels; the show needs at least 128x128\n"
                  "assets: " +
                  folder.file("darkhelmet.png") +
                  " is 64x65 pixels; the show needs exactly 64x64\n");
    EXPECT_EQ(imgGlasses.height, 127);
    EXPECT_EQ(imgDarkHelmet.height, 65);
}

// No picture at all: one line naming the folder as an absolute path, symbolic links and
// ".." resolved, instead of 42 warnings.
TEST_F(LoadImagesFrom, NothingFoundGivesOneLineNamingTheResolvedFolder) {
    const std::string hint =
        "; the intro looks for \"../data/\" relative to the folder it is started from\n";
    TempFolder folder;
    const std::string real = std::filesystem::canonical(folder.path).string();
    EXPECT_EQ(loadCapturingStderr(folder.path + "/nothing/../"),
              "assets: no pictures could be loaded from " + real + "/" + hint);
    EXPECT_EQ(loadCapturingStderr(folder.path + "/no/such/../data"),
              "assets: no pictures could be loaded from " + real + "/no/data/" + hint);
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(
        loadCapturingStderr("no-such-assets-folder/./data/"),
        "assets: no pictures could be loaded from " + cwd + "/no-such-assets-folder/data/" + hint);
    // A folder name that would recolour the terminal is shown escaped.
    EXPECT_EQ(loadCapturingStderr(folder.path + "/\x1b[31mred/"),
              "assets: no pictures could be loaded from " + real + "/\\x1b[31mred/" + hint);
}

// A folder name too long to open is reported, never cut short into another path.
TEST_F(LoadImagesFrom, OverlongFolderNameIsNotTruncated) {
    const std::string longDir = "/tmp/" + std::string(5000, 'x') + "/";
    const std::string output = loadCapturingStderr(longDir);
    EXPECT_EQ(output.rfind("assets: no pictures could be loaded from " + longDir + ";", 0), 0u)
        << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1);
    for (const PackEntry& entry : packEntries()) EXPECT_EQ(entry.slot->pixels, nullptr);
}
