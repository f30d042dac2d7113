#include "frame_files.h"

#include "assets/printable.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace {

constexpr char kPrefix[] = "frame_";
constexpr char kSuffix[] = ".png";
// More digits than any index of a run (at most 10^7 moments) could need.
constexpr size_t kMaxDigits = 12;

// The index named by name, or -1 when name is not exactly a frame name.
int64_t frameIndex(const std::string& name) {
    const size_t prefix = sizeof kPrefix - 1, suffix = sizeof kSuffix - 1;
    if (name.size() <= prefix + suffix || name.size() > prefix + suffix + kMaxDigits) return -1;
    if (name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kSuffix) != 0)
        return -1;
    int64_t index = 0;
    for (size_t i = prefix; i < name.size() - suffix; ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        index = index * 10 + (name[i] - '0');
    }
    // frame_0001.png or frame_000001.png are not ours.
    return frameName(index) == name ? index : -1;
}

}  // namespace

std::string frameName(int64_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05lld.png", static_cast<long long>(index));
    return name;
}

std::vector<int64_t> frameFilesIn(const std::string& dir) {
    std::vector<int64_t> indices;
    DIR* folder = opendir(dir.empty() ? "." : dir.c_str());
    if (!folder) return indices;
    while (const dirent* entry = readdir(folder)) {
        const int64_t index = frameIndex(entry->d_name);
        if (index >= 0) indices.push_back(index);
    }
    closedir(folder);
    std::sort(indices.begin(), indices.end());
    return indices;
}

int64_t removeFramesFrom(const std::string& dir, int64_t first, std::string& error) {
    int64_t removed = 0;
    for (int64_t index : frameFilesIn(dir)) {
        if (index < first) continue;
        const std::string path = dir + frameName(index);
        if (unlink(path.c_str()) != 0 && errno != ENOENT) {
            error = "cannot remove " + printable(path) + ": " + std::strerror(errno);
            return removed;
        }
        ++removed;
    }
    return removed;
}
