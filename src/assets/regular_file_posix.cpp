// POSIX systems and WASI: the opening and reading behind regular_file.cpp.
#include "assets/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

void closeRegularFile(int fd) {
    close(fd);
}

uint64_t currentFileSize(int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 && info.st_size > 0 ? uint64_t(info.st_size) : 0;
}

void readAheadFrom(int fd, uint64_t offset) {
    posix_fadvise(fd, off_t(offset), 0, POSIX_FADV_WILLNEED);
}
