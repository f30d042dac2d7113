#include "load_pictures.h"

#include "assets/data_folder.h"
#include "assets/data_pack.h"
#include "assets/printable.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

bool checkDataFolder(const RenderOptions& options, std::string& error) {
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
    return true;
}

bool loadPictures(const RenderOptions& options, std::string& error) {
    if (!checkDataFolder(options, error)) return false;
    const std::string named = "--data " + printable(options.dataDir);
    const PackLoadReport report = loadImagesFrom(options.dataDir.c_str());
    printPackLoad(report, options.dataDir.c_str());
    if (options.dataGiven && report.loaded == 0) {
        error = named + ": the folder holds none of the show's pictures";
        return false;
    }
    return true;
}
