#include "folders.h"

#include "file_calls.h"
#include "assets/printable.h"

#include <cerrno>
#include <cstring>

bool makeFolders(const std::string& dir, std::string& error) {
    const std::string whole = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    for (size_t end = whole.find('/', 1); end != std::string::npos;
         end = whole.find('/', end + 1)) {
        const std::string folder = whole.substr(0, end);
        unsigned permissions = 0;
        if (nameKind(folder, permissions) == NameKind::Folder) continue;
        int reason = makeFolder(folder);
        if (reason == 0) continue;
        // Made by someone else meanwhile, or a file in the way.
        if (reason == EEXIST) {
            if (nameKind(folder, permissions) == NameKind::Folder) continue;
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
