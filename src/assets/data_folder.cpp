#include "assets/data_folder.h"

#include <filesystem>
#include <system_error>

std::string absoluteFolderName(const std::string& dir) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path given = dir.empty() ? fs::path(".") : fs::path(dir);
    fs::path resolved = fs::weakly_canonical(given, error);
    if (error || resolved.is_relative()) {
        error.clear();
        resolved = fs::absolute(given, error);
        if (error) resolved = given;
        resolved = resolved.lexically_normal();
    }
    std::string name = resolved.string();
    if (name.empty() || name.back() != '/') name += '/';
    return name;
}
