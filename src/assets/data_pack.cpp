#include "assets/data_pack.h"

#include "assets/data_folder.h"
#include "assets/data_pack_manifest.h"
#include "assets/image_loader.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// One pass over the data pack: pictures loaded so far and the warnings held back until
// it is known whether any picture was found at all.
struct PackLoad {
    std::string dir;  // ends in '/' unless empty (the working directory itself)
    int loaded = 0;
    std::vector<std::string> warnings;
    uint64_t decodedBytes = 0;  // of the pictures loaded, all held at once
    // The first picture that did not fit the budget for all pictures: its warning's index
    // and how many later pictures did not fit either. One warning tells of them all.
    size_t budgetWarning = SIZE_MAX;
    int overBudgetAfter = 0;
};

std::string budgetWarningText(const PackLoad& pack, const std::string& firstPath) {
    std::string text = "cannot load " + firstPath +
                       ": all pictures together would decode to more than " +
                       std::to_string(kMaxPackDecodedBytes >> 20) + " MiB; this one";
    if (pack.overBudgetAfter == 1)
        text += " and 1 later picture that does not fit are left empty";
    else if (pack.overBudgetAfter > 1)
        text += " and " + std::to_string(pack.overBudgetAfter) +
                " later pictures that do not fit are left empty";
    else
        text += " is left empty";
    return text;
}

// Loads the picture into its slot; a size the show does not expect is loaded with a warning.
void loadPackPicture(PackLoad& pack, const PackPicture& picture) {
    const std::string path = pack.dir + picture.fileName;
    std::string problem;
    uint64_t bytes = 0;
    const PictureLoad result = loadPictureWithin(
        path.c_str(), *picture.slot, kMaxPackDecodedBytes - pack.decodedBytes, bytes, problem);
    if (result == PictureLoad::overBudget) {
        if (pack.budgetWarning == SIZE_MAX) {
            pack.budgetWarning = pack.warnings.size();
            pack.warnings.push_back(path);  // the path, until the count is known
        } else {
            ++pack.overBudgetAfter;
        }
        return;
    }
    if (result != PictureLoad::loaded) {
        pack.warnings.push_back(problem);
        return;
    }
    pack.decodedBytes += bytes;
    ++pack.loaded;
    const std::string warning = pictureSizeWarning(picture, path);
    if (!warning.empty()) pack.warnings.push_back(warning);
}

}  // namespace

void loadImagesFrom(const char* dataDir) {
    PackLoad pack;
    pack.dir = dataDir ? dataDir : "";
    if (!pack.dir.empty() && pack.dir.back() != '/') pack.dir += '/';
    for (const PackPicture& picture : packPictures()) loadPackPicture(pack, picture);

    if (pack.loaded == 0) {
        std::fprintf(stderr,
                     "assets: no pictures could be loaded from %s; the intro looks for \"%s\" "
                     "relative to the folder it is started from\n",
                     absoluteFolderName(pack.dir).c_str(), kDataFolder);
        return;
    }
    if (pack.budgetWarning != SIZE_MAX)
        pack.warnings[pack.budgetWarning] =
            budgetWarningText(pack, pack.warnings[pack.budgetWarning]);
    for (const std::string& warning : pack.warnings)
        std::fprintf(stderr, "assets: %s\n", warning.c_str());
}

void loadImages() {
    loadImagesFrom(kDataFolder);
}
