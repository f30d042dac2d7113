#include "pending_file.h"

#include "interrupt.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool writeAll(int fd, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR && !interrupted()) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes += n;
        size -= size_t(n);
    }
    return true;
}

PendingFile::~PendingFile() { discard(); }

bool PendingFile::fail(int systemError, std::string& error) {
    error = "cannot write " + finalPath_ + ": " + std::strerror(systemError);
    discard();
    return false;
}

bool PendingFile::create(const std::string& finalPath, std::string& error) {
    discard();
    finalPath_ = finalPath;
    struct stat info;
    if (stat(finalPath.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        fd_ = ::open(finalPath.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) return fail(errno, error);
        return true;
    }
    // Same folder as the final name; the process id keeps two runs apart.
    const std::string temp = finalPath + "." + std::to_string(long(getpid())) + ".tmp";
    fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) return fail(errno, error);
    tempPath_ = temp;
    return true;
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
    if (std::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) return fail(errno, error);
    tempPath_.clear();
    return true;
}

void PendingFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
}
