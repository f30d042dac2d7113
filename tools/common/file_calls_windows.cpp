// Windows: the tools' file calls on UTF-8 names through the wide-character calls. There
// are no symbolic links to follow here and no FIFOs; a file replaced while it is open
// elsewhere is replaced as POSIX would allow, where the other side shares deletion.
#include "file_calls.h"

#include "assets/wide_name.h"

#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace {

// The C runtime's errno for what a Win32 call left in GetLastError.
int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return EACCES;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return EEXIST;
    case ERROR_DISK_FULL: return ENOSPC;
    default: return EIO;
    }
}

}  // namespace

NameKind nameKind(const std::string& path, unsigned& permissions) {
    permissions = 0;
    const std::wstring name = wideName(path.c_str());
    const DWORD attributes =
        name.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return NameKind::None;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? NameKind::Folder : NameKind::RegularFile;
}

bool followLinks(const std::string& path, std::string& target) {
    target = path;
    return true;
}

int makeFolder(const std::string& path) {
    const std::wstring name = wideName(path.c_str());
    if (name.empty()) return ENOENT;
    return _wmkdir(name.c_str()) == 0 ? 0 : errno;
}

int openExisting(const std::string& path, bool) {
    const std::wstring name = wideName(path.c_str());
    if (name.empty()) {
        errno = ENOENT;
        return -1;
    }
    return _wopen(name.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
}

int openFifoWhenRead(const std::string&) {
    errno = EINVAL;
    return -1;
}

int createNewFile(const std::string& path, unsigned) {
    const std::wstring name = wideName(path.c_str());
    if (name.empty()) {
        errno = ENOENT;
        return -1;
    }
    return _wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}

long writeSome(int fd, const void* data, size_t size) {
    // The standard streams start in text mode, which would write every byte 10 as 13 10.
    if (fd <= 2) _setmode(fd, _O_BINARY);
    const unsigned chunk = size > (1u << 30) ? 1u << 30 : unsigned(size);
    return long(_write(fd, data, chunk));
}

int closeFile(int fd) {
    return _close(fd);
}

bool replaceFile(const std::string& from, const std::string& to) {
    const std::wstring source = wideName(from.c_str());
    const std::wstring target = wideName(to.c_str());
    if (source.empty() || target.empty()) {
        errno = ENOENT;
        return false;
    }
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    errno = errnoOf(GetLastError());
    return false;
}

void removeFile(const std::string& path) {
    const std::wstring name = wideName(path.c_str());
    if (!name.empty()) _wunlink(name.c_str());
}

long processId() {
    return long(GetCurrentProcessId());
}
