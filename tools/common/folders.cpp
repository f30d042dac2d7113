#include "folders.h"

#include "assets/printable.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

bool makeFolders(const std::string& dir, std::string& error) {
    const std::string whole = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    for (size_t end = whole.find('/', 1); end != std::string::npos;
         end = whole.find('/', end + 1)) {
        const std::string folder = whole.substr(0, end);
        struct stat info;
        if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
        if (mkdir(folder.c_str(), 0777) == 0) continue;
        int reason = errno;
        // Made by someone else meanwhile, or a file in the way.
        if (reason == EEXIST) {
            if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
            reason = ENOTDIR;
        }
        error = "cannot create folder " + printable(folder) + ": " + std::strerror(reason);
        return false;
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}
