#include "assets/picture_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string readOpen(int fd, std::vector<uint8_t>& bytes) {
    struct stat info;
    if (fstat(fd, &info) != 0) return std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
    if (!S_ISREG(info.st_mode)) return "not a regular file";
    if (info.st_size < 0) return "file larger than " + std::to_string(kMaxPictureFileBytes >> 20) + " MiB";
    const std::string sizeProblem = pictureFileSizeProblem(uint64_t(info.st_size));
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

std::string pictureFileSizeProblem(uint64_t size) {
    if (size == 0) return "empty file";
    if (size > kMaxPictureFileBytes) return "file larger than " + std::to_string(kMaxPictureFileBytes >> 20) + " MiB";
    return "";
}

std::string readPictureFile(const char* path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    const std::string problem = readOpen(fd, bytes);
    close(fd);
    if (!problem.empty()) bytes.clear();
    return problem;
}
