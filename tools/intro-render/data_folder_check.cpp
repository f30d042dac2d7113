#include "data_folder_check.h"

#include "assets/data_pack_manifest.h"
#include "assets/image_loader.h"
#include "printable.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// Whether any of the pack's picture files is there at all. Files that are there but do not
// decode are the loader's to report; the show is still drawn around them.
bool holdsAnyPicture(const std::string& folder) {
    struct stat info;
    for (const PackPicture& picture : packPictures())
        if (stat((folder + picture.fileName).c_str(), &info) == 0) return true;
    return false;
}

}  // namespace

bool loadPictures(const RenderOptions& options, std::string& error) {
    const std::string named = "--data " + printable(options.dataDir);
    if (options.dataGiven) {
        struct stat info;
        if (stat(options.dataDir.c_str(), &info) != 0) {
            error = named + ": " + std::strerror(errno);
            return false;
        }
        if (!S_ISDIR(info.st_mode)) {
            error = named + ": " + std::strerror(ENOTDIR);
            return false;
        }
    }
    if (options.dataGiven && !holdsAnyPicture(options.dataDir)) {
        error = named + ": the folder holds none of the show's pictures";
        return false;
    }
    loadImagesFrom(options.dataDir.c_str());
    return true;
}
