#include "pending_file.h"

#include "folders.h"
#include "interrupt.h"
#include "assets/printable.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Links followed before giving up, as the system does.
constexpr int kMaxLinks = 40;
// Temporary names tried when earlier ones exist.
constexpr int kMaxTempNames = 100;

// path with every symbolic link at its end followed; a dangling link gives the name it
// points to, to be created. False with errno set on a loop or an unreadable link.
bool followLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat info;
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        char link[PATH_MAX];
        const ssize_t n = readlink(target.c_str(), link, sizeof link - 1);
        if (n < 0) return false;
        const std::string to(link, size_t(n));
        target = !to.empty() && to[0] == '/' ? to : folderOf(target) + to;
    }
    errno = ELOOP;
    return false;
}

// How often a FIFO output is tried while it waits for its reader.
constexpr useconds_t kFifoPollMicroseconds = 20000;

// Opens the FIFO at path for writing once a reader has it open. A blocking open() could
// not be ended by a signal that arrived just before it; polling without blocking can.
int openFifoWhenRead(const char* path) {
    for (;;) {
        if (interrupted()) {
            errno = EINTR;
            return -1;
        }
        const int fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            // Blocking from here on: writes wait for the reader instead of failing.
            const int flags = fcntl(fd, F_GETFL);
            if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
                const int reason = errno;
                ::close(fd);
                errno = reason;
                return -1;
            }
            return fd;
        }
        if (errno != ENXIO && errno != EINTR) return -1;  // ENXIO: no reader yet
        usleep(kFifoPollMicroseconds);
    }
}

}  // namespace

bool writeAll(int fd, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno != EINTR) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        if (n > 0) {
            bytes += n;
            size -= size_t(n);
        }
        if (size > 0 && interrupted()) {
            errno = EINTR;
            return false;
        }
    }
    return true;
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Non-blocking, so that a FIFO is refused below instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool ok = fstat(fd, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ok = false;
    }
    char buffer[1 << 16];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(buffer, size_t(n));
    }
    const int reason = errno;
    ::close(fd);
    errno = reason;
    return ok;
}

PendingFile::~PendingFile() {
    discard();
}

bool PendingFile::fail(int systemError, std::string& error) {
    error = "cannot write " + printable(finalPath_) + ": " + std::strerror(systemError);
    discard();
    return false;
}

bool PendingFile::create(const std::string& finalPath, std::string& error) {
    discard();
    finalPath_ = finalPath;
    if (!followLinks(finalPath, targetPath_)) return fail(errno, error);
    const std::string folder = folderOf(targetPath_);
    if (!folder.empty() && !makeFolders(folder, error)) return false;
    struct stat info;
    if (stat(targetPath_.c_str(), &info) != 0) return openTemporary(0, error);
    if (!S_ISREG(info.st_mode)) return openDirectly(S_ISFIFO(info.st_mode), error);
    // Refused exactly when a direct write would be refused; opening without O_TRUNC
    // leaves the file as it is.
    const int probe = ::open(targetPath_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (probe < 0) return fail(errno, error);
    ::close(probe);
    return openTemporary(info.st_mode & 07777, error);
}

bool PendingFile::openDirectly(bool fifo, std::string& error) {
    if (fifo) {
        fd_ = openFifoWhenRead(targetPath_.c_str());
    } else {
        do fd_ = ::open(targetPath_.c_str(), O_WRONLY | O_CLOEXEC);
        while (fd_ < 0 && errno == EINTR && !interrupted());
    }
    if (fd_ < 0) return fail(errno, error);
    return true;
}

bool PendingFile::openTemporary(mode_t keptMode, std::string& error) {
    // Same folder as the target; the process id keeps two runs apart, and O_EXCL makes
    // sure no existing file is taken over.
    const std::string stem = targetPath_ + "." + std::to_string(long(getpid()));
    for (int attempt = 0; attempt < kMaxTempNames; ++attempt) {
        const std::string temp = stem + (attempt ? "-" + std::to_string(attempt) : "") + ".tmp";
        fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno == EEXIST) continue;
        if (fd_ < 0) return fail(errno, error);
        tempPath_ = temp;
        if (keptMode != 0 && fchmod(fd_, keptMode) != 0) return fail(errno, error);
        return true;
    }
    return fail(EEXIST, error);
}

bool PendingFile::write(const void* data, size_t size, std::string& error) {
    if (fd_ < 0) return fail(EBADF, error);
    if (!writeAll(fd_, data, size)) return fail(errno, error);
    return true;
}

bool PendingFile::close(std::string& error) {
    if (fd_ < 0) return true;
    const int status = ::close(fd_);
    fd_ = -1;
    // A close that fails may have lost written data (on network file systems, say).
    if (status != 0 && errno != EINTR) return fail(errno, error);
    return true;
}

bool PendingFile::commit(std::string& error) {
    if (!close(error)) return false;
    if (tempPath_.empty()) return true;  // written directly
    if (std::rename(tempPath_.c_str(), targetPath_.c_str()) != 0) return fail(errno, error);
    tempPath_.clear();
    return true;
}

void PendingFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
}
