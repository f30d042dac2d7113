#include "pending_file.h"

#include "file_calls.h"
#include "folders.h"
#include "interrupt.h"
#include "assets/printable.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

// Temporary names tried when earlier ones exist.
constexpr int kMaxTempNames = 100;

}  // namespace

bool writeAll(int fd, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const long n = writeSome(fd, bytes, size);
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
    unsigned permissions = 0;
    const NameKind kind = nameKind(targetPath_, permissions);
    if (kind == NameKind::None) return openTemporary(0, error);
    if (kind != NameKind::RegularFile) return openDirectly(kind == NameKind::Fifo, error);
    // Refused exactly when a direct write would be refused; opening without truncating
    // leaves the file as it is.
    const int probe = openExisting(targetPath_, true);
    if (probe < 0) return fail(errno, error);
    closeFile(probe);
    return openTemporary(permissions, error);
}

bool PendingFile::openDirectly(bool fifo, std::string& error) {
    fd_ = fifo ? openFifoWhenRead(targetPath_) : openExisting(targetPath_, false);
    if (fd_ < 0) return fail(errno, error);
    return true;
}

bool PendingFile::openTemporary(unsigned keptMode, std::string& error) {
    // Same folder as the target; the process id keeps two runs apart, and creating only a
    // new file makes sure no existing file is taken over.
    const std::string stem = targetPath_ + "." + std::to_string(processId());
    for (int attempt = 0; attempt < kMaxTempNames; ++attempt) {
        const std::string temp = stem + (attempt ? "-" + std::to_string(attempt) : "") + ".tmp";
        fd_ = createNewFile(temp, keptMode);
        if (fd_ < 0 && errno == EEXIST) continue;
        if (fd_ < 0) return fail(errno, error);
        tempPath_ = temp;
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
    const int status = closeFile(fd_);
    fd_ = -1;
    // A close that fails may have lost written data (on network file systems, say).
    if (status != 0 && errno != EINTR) return fail(errno, error);
    return true;
}

bool PendingFile::commit(std::string& error) {
    if (!close(error)) return false;
    if (tempPath_.empty()) return true;  // written directly
    if (!replaceFile(tempPath_, targetPath_)) return fail(errno, error);
    tempPath_.clear();
    return true;
}

void PendingFile::discard() {
    if (fd_ >= 0) closeFile(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) removeFile(tempPath_);
    tempPath_.clear();
}
