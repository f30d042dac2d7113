#include "data_folder_check.h"

#include "assets/data_pack.h"
#include "assets/data_pack_manifest.h"
#include "printable.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

bool anyPictureLoaded() {
    for (const PackPicture& picture : packPictures())
        if (picture.slot->pixels) return true;
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
    loadImagesFrom(options.dataDir.c_str());
    if (options.dataGiven && !anyPictureLoaded()) {
        error = named + ": the folder holds none of the show's pictures";
        return false;
    }
    return true;
}
