#include "assets/data_folder.h"

#include "assets/data_pack.h"
#include "assets/printable.h"

#include <cstdio>

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
    // The system's own separator ends it: '\\' on Windows, whose names may also end in '/'.
    const char separator = char(fs::path::preferred_separator);
    if (name.empty() || (name.back() != '/' && name.back() != separator)) name += separator;
    return name;
}

std::vector<std::string> packLoadLines(const PackLoadReport& report, const char* dataDir) {
    if (report.loaded > 0) return report.warnings;
    return {"no pictures could be loaded from " + absoluteFolderName(dataDir ? dataDir : "") +
            "; the intro looks for \"" + kDataFolder +
            "\" relative to the folder it is started from"};
}

void printPackLoad(const PackLoadReport& report, const char* dataDir) {
    for (const std::string& line : packLoadLines(report, dataDir))
        std::fprintf(stderr, "assets: %s\n", printable(line).c_str());
}
