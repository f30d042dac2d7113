// POSIX: the tools' file calls on names as bytes.
#include "file_calls.h"

#include "folders.h"
#include "interrupt.h"
#include "pending_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Links followed before giving up, as the system does.
constexpr int kMaxLinks = 40;
// How often a FIFO output is tried while it waits for its reader.
constexpr useconds_t kFifoPollMicroseconds = 20000;

}  // namespace

NameKind nameKind(const std::string& path, unsigned& permissions) {
    struct stat info;
    permissions = 0;
    if (stat(path.c_str(), &info) != 0) return NameKind::None;
    permissions = info.st_mode & 07777;
    if (S_ISDIR(info.st_mode)) return NameKind::Folder;
    if (S_ISREG(info.st_mode)) return NameKind::RegularFile;
    return S_ISFIFO(info.st_mode) ? NameKind::Fifo : NameKind::Other;
}

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

int makeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

int openExisting(const std::string& path, bool probe) {
    if (probe) return ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    int fd;
    do fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR && !interrupted());
    return fd;
}

// A blocking open() could not be ended by a signal that arrived just before it; polling
// without blocking can.
int openFifoWhenRead(const std::string& path) {
    for (;;) {
        if (interrupted()) {
            errno = EINTR;
            return -1;
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
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

int createNewFile(const std::string& path, unsigned permissions) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 && permissions != 0 && fchmod(fd, mode_t(permissions)) != 0) {
        const int reason = errno;
        ::close(fd);
        ::unlink(path.c_str());
        errno = reason;
        return -1;
    }
    return fd;
}

long writeSome(int fd, const void* data, size_t size) {
    return long(::write(fd, data, size));
}

int closeFile(int fd) {
    return ::close(fd);
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

long processId() {
    return long(getpid());
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
