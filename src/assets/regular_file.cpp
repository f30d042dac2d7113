#include "assets/regular_file.h"

#include <cerrno>
#include <cstring>

std::string fileSizeProblem(uint64_t size, uint64_t limit) {
    if (size == 0) return "empty file";
    if (size > limit) return "file larger than " + std::to_string(limit >> 20) + " MiB";
    return "";
}

bool readRegularFile(const char* path, uint64_t limit, std::vector<uint8_t>& bytes,
                     std::string& reason) {
    bytes.clear();
    uint64_t size = 0;
    const int fd = openRegularFile(path, limit, size, reason);
    if (fd < 0) return false;
    bytes.resize(size_t(size));
    const ssize_t got = readFileAt(fd, 0, bytes.data(), bytes.size());
    const int readError = errno;
    closeRegularFile(fd);
    // A file that shrank while being read keeps what it held.
    if (got < 0)
        reason = std::strerror(readError);
    else if (got == 0)
        reason = "empty file";
    if (got <= 0) {
        bytes.clear();
        return false;
    }
    bytes.resize(size_t(got));
    return true;
}
