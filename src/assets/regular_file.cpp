#include "assets/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string fileSizeProblem(uint64_t size, uint64_t limit) {
    if (size == 0) return "empty file";
    if (size > limit) return "file larger than " + std::to_string(limit >> 20) + " MiB";
    return "";
}

int openRegularFile(const char* path, uint64_t limit, uint64_t& size, std::string& reason) {
    // Non-blocking, so that a FIFO at the path is refused instead of waiting for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) != 0)
        reason = std::strerror(errno);
    else if (S_ISDIR(info.st_mode))
        reason = std::strerror(EISDIR);
    else if (!S_ISREG(info.st_mode))
        reason = "not a regular file";
    else
        reason = fileSizeProblem(info.st_size < 0 ? UINT64_MAX : uint64_t(info.st_size), limit);
    if (!reason.empty()) {
        close(fd);
        return -1;
    }
    size = uint64_t(info.st_size);
    return fd;
}

ssize_t readFileAt(int fd, uint64_t offset, void* out, size_t bytes) {
    size_t filled = 0;
    while (filled < bytes) {
        const ssize_t got =
            pread(fd, static_cast<uint8_t*>(out) + filled, bytes - filled, off_t(offset + filled));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;  // the file is shorter now
        filled += size_t(got);
    }
    return ssize_t(filled);
}

bool readRegularFile(const char* path, uint64_t limit, std::vector<uint8_t>& bytes,
                     std::string& reason) {
    bytes.clear();
    uint64_t size = 0;
    const int fd = openRegularFile(path, limit, size, reason);
    if (fd < 0) return false;
    bytes.resize(size_t(size));
    const ssize_t got = readFileAt(fd, 0, bytes.data(), bytes.size());
    close(fd);
    // A file that shrank while being read keeps what it held.
    if (got < 0)
        reason = std::strerror(errno);
    else if (got == 0)
        reason = "empty file";
    if (got <= 0) {
        bytes.clear();
        return false;
    }
    bytes.resize(size_t(got));
    return true;
}
