// Windows: the opening and reading behind regular_file.cpp. Names are UTF-8 (wide-character calls,
// so any name opens), and a file is opened so that it may be replaced or deleted while
// it is read, as a POSIX system allows.
#include "assets/regular_file.h"
#include "assets/wide_name.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>

std::wstring wideName(const char* path) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path, -1, &wide[0], length);
    wide.resize(size_t(length) - 1);
    return wide;
}

namespace {

// The system's words for the common failures, as the POSIX build gives them.
std::string openFailure(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return std::strerror(ENOENT);
    case ERROR_ACCESS_DENIED: return std::strerror(EACCES);
    default: return "cannot open (Windows error " + std::to_string(error) + ")";
    }
}

}  // namespace

int openRegularFile(const char* path, uint64_t limit, uint64_t& size, std::string& reason) {
    const std::wstring name = wideName(path);
    const DWORD attributes =
        name.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        reason = std::strerror(EISDIR);
        return -1;
    }
    const HANDLE file = name.empty()
                            ? INVALID_HANDLE_VALUE
                            : CreateFileW(name.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = name.empty() ? std::strerror(ENOENT) : openFailure(GetLastError());
        return -1;
    }
    LARGE_INTEGER bytes;
    if (GetFileType(file) != FILE_TYPE_DISK)
        reason = "not a regular file";
    else if (!GetFileSizeEx(file, &bytes))
        reason = openFailure(GetLastError());
    else
        reason = fileSizeProblem(bytes.QuadPart < 0 ? UINT64_MAX : uint64_t(bytes.QuadPart), limit);
    const int fd = reason.empty() ? _open_osfhandle(intptr_t(file), _O_RDONLY | _O_BINARY) : -1;
    if (fd < 0) {
        if (reason.empty()) reason = std::strerror(EMFILE);
        CloseHandle(file);
        return -1;
    }
    size = uint64_t(bytes.QuadPart);
    return fd;
}

ssize_t readFileAt(int fd, uint64_t offset, void* out, size_t bytes) {
    const HANDLE file = HANDLE(_get_osfhandle(fd));
    size_t filled = 0;
    while (filled < bytes) {
        OVERLAPPED at = {};
        const uint64_t position = offset + filled;
        at.Offset = DWORD(position);
        at.OffsetHigh = DWORD(position >> 32);
        const size_t left = bytes - filled;
        const DWORD ask = left > 0x40000000 ? 0x40000000 : DWORD(left);
        DWORD got = 0;
        if (!ReadFile(file, static_cast<uint8_t*>(out) + filled, ask, &got, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            errno = EIO;
            return -1;
        }
        if (got == 0) break;  // the file is shorter now
        filled += got;
    }
    return ssize_t(filled);
}

void closeRegularFile(int fd) {
    _close(fd);
}

uint64_t currentFileSize(int fd) {
    LARGE_INTEGER bytes;
    const HANDLE file = HANDLE(_get_osfhandle(fd));
    return GetFileSizeEx(file, &bytes) && bytes.QuadPart > 0 ? uint64_t(bytes.QuadPart) : 0;
}

// The cache manager reads ahead of sequential reads on its own.
void readAheadFrom(int, uint64_t) {}
