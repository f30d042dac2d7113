#include "audio/music_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static bool failWithErrno(int fd, std::string& reason) {
    reason = std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
}

bool readMusicFile(const char* path, std::vector<uint8_t>& bytes, std::string& reason) {
    bytes.clear();
    // Non-blocking, so that a FIFO at the path is refused below instead of waiting for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failWithErrno(fd, reason);
    struct stat info;
    if (fstat(fd, &info) != 0) return failWithErrno(fd, reason);
    if (S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return failWithErrno(fd, reason);
    }
    if (!S_ISREG(info.st_mode)) {
        close(fd);
        reason = "not a regular file";
        return false;
    }
    if (info.st_size == 0) {
        close(fd);
        reason = "empty file";
        return false;
    }
    if (info.st_size < 0 || uint64_t(info.st_size) > kMaxMusicFileBytes) {
        close(fd);
        reason = "file larger than " + std::to_string(kMaxMusicFileBytes >> 20) + " MiB";
        return false;
    }
    bytes.resize(size_t(info.st_size));
    size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            bytes.clear();
            return failWithErrno(fd, reason);
        }
        // The file shrank while being read: keep what it held.
        if (got == 0) break;
        filled += size_t(got);
    }
    close(fd);
    bytes.resize(filled);
    if (bytes.empty()) {
        reason = "empty file";
        return false;
    }
    return true;
}
