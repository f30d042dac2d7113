#include "assets/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string readOpen(int fd, uint64_t limit, std::vector<uint8_t>& bytes) {
    struct stat info;
    if (fstat(fd, &info) != 0) return std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
    if (!S_ISREG(info.st_mode)) return "not a regular file";
    const std::string sizeProblem =
        fileSizeProblem(info.st_size < 0 ? UINT64_MAX : uint64_t(info.st_size), limit);
    if (!sizeProblem.empty()) return sizeProblem;
    bytes.resize(size_t(info.st_size));
    size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::strerror(errno);
        if (got == 0) break;  // the file shrank while being read: keep what it held
        filled += size_t(got);
    }
    bytes.resize(filled);
    return bytes.empty() ? "empty file" : "";
}

}  // namespace

std::string fileSizeProblem(uint64_t size, uint64_t limit) {
    if (size == 0) return "empty file";
    if (size > limit) return "file larger than " + std::to_string(limit >> 20) + " MiB";
    return "";
}

bool readRegularFile(const char* path, uint64_t limit, std::vector<uint8_t>& bytes,
                     std::string& reason) {
    bytes.clear();
    // Non-blocking, so that a FIFO at the path is refused instead of waiting for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    reason = readOpen(fd, limit, bytes);
    close(fd);
    if (reason.empty()) return true;
    bytes.clear();
    return false;
}
