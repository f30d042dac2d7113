#include "assets/data_folder.h"
#include "assets/image_loader.h"
#include "assets/image_slots.h"

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The formatted path buffer: 64 bytes hold every path under "../data/" (the longest,
// "../data/darkhelmetnomask.png", has 28 characters); it grows with a longer folder name
// up to the longest path the system can open.
constexpr size_t kPathBufferBytes = 64;
constexpr size_t kLongestNameBytes = sizeof("darkhelmetnomask.png");
constexpr size_t kMaxPathBytes = PATH_MAX;
constexpr size_t kFrameNameBytes = 64;

constexpr int kGlassesMinSize = 128;  // the floor zoom samples columns and rows 0 to 127
constexpr int kDarkHelmetSize = 64;   // one scene copies it whole as the 64 x 64 background

// Formatting bounded by size; false when the result did not fit (nothing is cut silently).
__attribute__((format(printf, 3, 4))) bool formatBounded(char* out, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(out, size, format, args);
    va_end(args);
    return written >= 0 && size_t(written) < size;
}

// One pass over the data pack: pictures loaded so far and the warnings held back until
// it is known whether any picture was found at all.
struct PackLoad {
    std::string dir;  // ends in '/' unless empty (the working directory itself)
    std::vector<char> path;
    int loaded = 0;
    std::vector<std::string> warnings;
    uint64_t decodedBytes = 0;  // of the pictures loaded, all held at once
    // The first picture that did not fit the budget for all pictures: its warning's index
    // and how many later pictures did not fit either. One warning tells of them all.
    size_t budgetWarning = SIZE_MAX;
    int overBudgetAfter = 0;
};

std::string budgetWarningText(const PackLoad& pack, const std::string& firstPath) {
    std::string text = "cannot load " + firstPath + ": all pictures together would decode to more than " +
                       std::to_string(kMaxPackDecodedBytes >> 20) + " MiB; this one";
    if (pack.overBudgetAfter == 1) text += " and 1 later picture that does not fit are left empty";
    else if (pack.overBudgetAfter > 1)
        text += " and " + std::to_string(pack.overBudgetAfter) + " later pictures that do not fit are left empty";
    else text += " is left empty";
    return text;
}

// Loads dir + name into slot; true when the slot now holds the picture.
bool loadPackPicture(PackLoad& pack, const char* name, ArgbGfx& slot) {
    if (!formatBounded(pack.path.data(), pack.path.size(), "%s%s", pack.dir.c_str(), name)) {
        pack.warnings.push_back("cannot load " + pack.dir + name + ": path longer than " +
                                std::to_string(pack.path.size() - 1) + " bytes");
        return false;
    }
    std::string problem;
    uint64_t bytes = 0;
    const PictureLoad result = loadPictureWithin(pack.path.data(), slot, kMaxPackDecodedBytes - pack.decodedBytes,
                                                 bytes, problem);
    if (result == PictureLoad::overBudget) {
        if (pack.budgetWarning == SIZE_MAX) {
            pack.budgetWarning = pack.warnings.size();
            pack.warnings.push_back(pack.path.data());  // the path, until the count is known
        } else {
            ++pack.overBudgetAfter;
        }
        return false;
    }
    if (result != PictureLoad::loaded) {
        pack.warnings.push_back(problem);
        return false;
    }
    pack.decodedBytes += bytes;
    ++pack.loaded;
    return true;
}

std::string sizeWarning(const PackLoad& pack, const ArgbGfx& slot, const char* needs) {
    return std::string(pack.path.data()) + " is " + std::to_string(slot.width) + "x" +
           std::to_string(slot.height) + " pixels; the show needs " + needs;
}

void loadGlasses(PackLoad& pack) {
    if (!loadPackPicture(pack, "glasses.png", imgGlasses)) return;
    if (imgGlasses.width < kGlassesMinSize || imgGlasses.height < kGlassesMinSize)
        pack.warnings.push_back(sizeWarning(pack, imgGlasses, "at least 128x128"));
}

void loadDarkHelmet(PackLoad& pack) {
    if (!loadPackPicture(pack, "darkhelmet.png", imgDarkHelmet)) return;
    if (imgDarkHelmet.width != kDarkHelmetSize || imgDarkHelmet.height != kDarkHelmetSize)
        pack.warnings.push_back(sizeWarning(pack, imgDarkHelmet, "exactly 64x64"));
}

}  // namespace

void loadImagesFrom(const char* dataDir) {
    PackLoad pack;
    pack.dir = dataDir ? dataDir : "";
    if (!pack.dir.empty() && pack.dir.back() != '/') pack.dir += '/';
    size_t bufferBytes = pack.dir.size() + kLongestNameBytes;
    if (bufferBytes < kPathBufferBytes) bufferBytes = kPathBufferBytes;
    if (bufferBytes > kMaxPathBytes) bufferBytes = kMaxPathBytes;
    pack.path.assign(bufferBytes, '\0');

    loadPackPicture(pack, "barf.png", imgBarf);
    loadPackPicture(pack, "lonestar.png", imgLonestar);
    loadGlasses(pack);
    loadDarkHelmet(pack);
    loadPackPicture(pack, "rasberry.png", imgRasberry);
    // Element i holds frame number i + 1, written with two digits: jtr01.png to jtr35.png.
    for (int number = 1; number <= kAnimFrameCount; ++number) {
        char frameName[kFrameNameBytes];
        if (formatBounded(frameName, sizeof frameName, "jtranim/jtr%2.2d.png", number))
            loadPackPicture(pack, frameName, animFrames[number - 1]);
    }
    loadPackPicture(pack, "darkhelmetnomask.png", imgDarkHelmetNoMask);
    loadPackPicture(pack, "lowrezqr.png", imgLowrezQr);

    if (pack.loaded == 0) {
        std::fprintf(stderr,
                     "assets: no pictures could be loaded from %s; the intro looks for \"../data/\" "
                     "relative to the folder it is started from\n",
                     absoluteFolderName(pack.dir).c_str());
        return;
    }
    if (pack.budgetWarning != SIZE_MAX)
        pack.warnings[pack.budgetWarning] = budgetWarningText(pack, pack.warnings[pack.budgetWarning]);
    for (const std::string& warning : pack.warnings) std::fprintf(stderr, "assets: %s\n", warning.c_str());
}

void loadImages() {
    loadImagesFrom("../data/");
}
