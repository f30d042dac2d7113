#include "assets/data_pack.h"

#include "assets/image_loader.h"

#include <utility>

namespace {

std::string budgetWarningText(const PackLoad& pack) {
    std::string text = "cannot load " + pack.firstOverBudget +
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

// Books one picture's result; a size the show does not expect is kept, with a warning.
void notePackPicture(PackLoad& pack, const PackPicture& picture, const std::string& name,
                     PictureLoad result, uint64_t bytes, const std::string& problem) {
    PackLoadReport& report = pack.report;
    if (result == PictureLoad::overBudget) {
        if (pack.budgetWarning == SIZE_MAX) {
            pack.budgetWarning = report.warnings.size();
            pack.firstOverBudget = name;
            report.warnings.emplace_back();  // written once the count is known
        } else {
            ++pack.overBudgetAfter;
        }
        return;
    }
    if (result != PictureLoad::loaded) {
        report.warnings.push_back(problem);
        return;
    }
    report.decodedBytes += bytes;
    ++report.loaded;
    const std::string warning = pictureSizeWarning(picture, name);
    if (!warning.empty()) report.warnings.push_back(warning);
}

std::string folderOf(const char* dataDir) {
    std::string dir = dataDir ? dataDir : "";
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace

void loadPackPictureFile(PackLoad& pack, const PackPicture& picture, const std::string& path) {
    std::string problem;
    uint64_t bytes = 0;
    const PictureLoad result =
        loadPictureWithin(path.c_str(), *picture.slot,
                          kMaxPackDecodedBytes - pack.report.decodedBytes, bytes, problem);
    notePackPicture(pack, picture, path, result, bytes, problem);
}

void loadPackPictureBytes(PackLoad& pack, const PackPicture& picture, std::vector<uint8_t> bytes,
                          const std::string& name) {
    std::string problem;
    uint64_t decoded = 0;
    const PictureLoad result =
        decodePictureWithin(std::move(bytes), name.c_str(), *picture.slot,
                            kMaxPackDecodedBytes - pack.report.decodedBytes, decoded, problem);
    notePackPicture(pack, picture, name, result, decoded, problem);
}

void notePackPictureProblem(PackLoad& pack, const std::string& problem) {
    pack.report.warnings.push_back(problem);
}

PackLoadReport finishPackLoad(PackLoad& pack) {
    if (pack.budgetWarning != SIZE_MAX)
        pack.report.warnings[pack.budgetWarning] = budgetWarningText(pack);
    return pack.report;
}

PackLoadReport loadImagesFrom(const char* dataDir) {
    const std::string dir = folderOf(dataDir);
    PackLoad pack;
    for (const PackPicture& picture : packPictures())
        loadPackPictureFile(pack, picture, dir + picture.fileName);
    return finishPackLoad(pack);
}

PackLoadReport loadImages() {
    return loadImagesFrom(kDataFolder);
}
