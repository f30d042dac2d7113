#pragma once
// Loading the whole data pack (the files of data_pack_manifest.h): from a folder, or from
// file bytes the caller fetched itself (the web page). Nothing is printed: each caller
// shows the report its own way.
#include "assets/data_pack_manifest.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What a load of the pack found: the pictures loaded into their slots, one warning per
// problem in loading order (a picture that cannot be loaded, one loaded at a size the
// show does not expect, and one warning for all pictures beyond the budget), and the
// decoded bytes of the loaded pictures together.
struct PackLoadReport {
    int loaded = 0;
    std::vector<std::string> warnings;
    uint64_t decodedBytes = 0;
};

// A load in progress: the pictures are handed over in the manifest's order and share
// kMaxPackDecodedBytes. The first that does not fit is named in one warning that also
// counts the later ones that do not fit; pictures that fit still load.
struct PackLoad {
    PackLoadReport report;
    size_t budgetWarning = SIZE_MAX;  // index of the budget's warning, once there is one
    std::string firstOverBudget;      // the name of the first picture that did not fit
    int overBudgetAfter = 0;          // later pictures that did not fit either
};

// Loads the picture from the file at path into its slot.
void loadPackPictureFile(PackLoad& pack, const PackPicture& picture, const std::string& path);

// Loads the picture from its file's bytes, name standing for the file in warnings.
void loadPackPictureBytes(PackLoad& pack, const PackPicture& picture, std::vector<uint8_t> bytes,
                          const std::string& name);

// A picture whose file the caller could not read: problem is its warning.
void notePackPictureProblem(PackLoad& pack, const std::string& problem);

// The report once every picture was handed over.
PackLoadReport finishPackLoad(PackLoad& pack);

// Fills every image slot from the pictures under dataDir (kDataFolder or any folder; a
// missing trailing slash is added); slots that fail stay empty.
PackLoadReport loadImagesFrom(const char* dataDir);

// loadImagesFrom(kDataFolder), relative to the working directory.
PackLoadReport loadImages();
