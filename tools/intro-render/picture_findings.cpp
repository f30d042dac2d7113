#include "check_findings.h"

#include "assets/data_pack.h"
#include "assets/image_loader.h"

#include <cstdio>

namespace {

constexpr unsigned kOpaqueAlpha = 0x80;  // the masked blit draws from here on

CheckFinding problem(const std::string& text) {
    return {CheckFinding::Problem, "pictures", text};
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// What the loaded picture shows where the show draws it.
void checkLoaded(const PackPicture& picture, const std::string& path, CheckFindings& findings) {
    const ArgbGfx& slot = *picture.slot;
    size_t opaque = 0;
    const size_t pixels = size_t(slot.width) * size_t(slot.height);
    for (int y = 0; y < slot.height; ++y)
        for (int x = 0; x < slot.width; ++x)
            opaque +=
                (slot.pixels[size_t(y) * size_t(slot.pitch) + size_t(x)] >> 24) >= kOpaqueAlpha;
    // The floor's texture is copied whole, alpha and all: only sprites go by the mask.
    const bool sprite = picture.roomWidth > 0;
    if (sprite && opaque == 0)
        findings.push_back(problem(path + ": nothing in it is opaque (alpha below 128 "
                                          "everywhere), so the show draws none of it"));
    if (picture.cutOut && opaque == pixels)
        findings.push_back(problem(path + ": opaque everywhere, but the show draws it over "
                                          "other pictures: it hides them as a full rectangle"));
    // A size the show relies on is the loader's warning already.
    if (sprite && picture.size == PictureSize::Any &&
        (slot.width > picture.roomWidth || slot.height > picture.roomHeight))
        findings.push_back(problem(path + " is " + sizeText(slot.width, slot.height) +
                                   " pixels; where the show draws it only " +
                                   sizeText(picture.roomWidth, picture.roomHeight) +
                                   " lies on the canvas: the rest is cut off"));
}

}  // namespace

void checkPicture(PictureCheck& check, const PackPicture& picture, const std::string& name,
                  const std::function<void(PackLoad&)>& load) {
    PackLoad& pack = check.pack;
    const size_t warningsBefore = pack.report.warnings.size();
    const int loadedBefore = pack.report.loaded;
    load(pack);
    // The loader's own warnings (missing, unreadable, the sizes the show relies on); the
    // budget's is written once all are handed over.
    for (size_t i = warningsBefore; i < pack.report.warnings.size(); ++i)
        if (i != pack.budgetWarning) check.findings.push_back(problem(pack.report.warnings[i]));
    if (pack.report.loaded > loadedBefore) checkLoaded(picture, name, check.findings);
}

CheckFindings finishPictureCheck(PictureCheck& check) {
    PackLoad& pack = check.pack;
    const PackLoadReport report = finishPackLoad(pack);
    CheckFindings findings = check.findings;
    if (pack.budgetWarning != SIZE_MAX)
        findings.push_back(problem(report.warnings[pack.budgetWarning]));
    char summary[160];
    std::snprintf(summary, sizeof summary,
                  "%d of %zu loaded, %.1f MiB decoded of the %llu MiB budget", report.loaded,
                  packPictures().size(), double(report.decodedBytes) / (1 << 20),
                  static_cast<unsigned long long>(kMaxPackDecodedBytes >> 20));
    findings.insert(findings.begin(), {CheckFinding::Ok, "pictures", summary});
    return findings;
}

CheckFindings checkPictures(const std::string& dir) {
    PictureCheck check;
    for (const PackPicture& picture : packPictures()) {
        const std::string path = dir + picture.fileName;
        checkPicture(check, picture, path,
                     [&](PackLoad& pack) { loadPackPictureFile(pack, picture, path); });
    }
    return finishPictureCheck(check);
}
