#include "assets/picture_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A JPEG larger than this is refused before its tables are read; it would decode to far
// more than any picture the show accepts.
constexpr off_t kMaxJpegFileBytes = off_t(256) << 20;

// Reads up to `bytes` from the start of fd into out; false on a read error.
bool readPrefix(int fd, std::vector<uint8_t>& out, size_t bytes) {
    out.resize(bytes);
    size_t filled = 0;
    while (filled < bytes) {
        const ssize_t got = read(fd, out.data() + filled, bytes - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        filled += size_t(got);
    }
    out.resize(filled);
    return true;
}

std::string examine(int fd) {
    struct stat info;
    if (fstat(fd, &info) != 0) return std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
    if (!S_ISREG(info.st_mode)) return "not a regular file";
    if (info.st_size == 0) return "empty file";
    std::vector<uint8_t> bytes;
    if (!readPrefix(fd, bytes, 64)) return std::strerror(errno);
    if (!looksLikeJpeg(bytes.data(), bytes.size())) return "";
    if (info.st_size > kMaxJpegFileBytes) return "JPEG file larger than 256 MiB";
    if (lseek(fd, 0, SEEK_SET) != 0 || !readPrefix(fd, bytes, size_t(info.st_size)))
        return std::strerror(errno);
    if (!jpegHuffmanTablesFit(bytes.data(), bytes.size()))
        return "corrupt JPEG: a Huffman table lists more than 256 codes";
    return "";
}

}  // namespace

std::string pictureFileProblem(const char* path) {
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    const std::string problem = examine(fd);
    close(fd);
    return problem;
}

bool looksLikeJpeg(const uint8_t* data, size_t size) {
    size_t i = 0;
    while (i < size && data[i] == 0xFF) ++i;
    return i > 0 && i < size && data[i] == 0xD8;
}

bool jpegHuffmanTablesFit(const uint8_t* data, size_t size) {
    auto at = [&](size_t i) -> unsigned { return i < size ? data[i] : 0; };
    for (size_t marker = 0; marker + 1 < size; ++marker) {
        if (data[marker] != 0xFF || data[marker + 1] != 0xC4) continue;
        // Segment length, then tables of a class byte, 16 code counts and the codes.
        long left = long(at(marker + 2) << 8 | at(marker + 3)) - 2;
        size_t table = marker + 4;
        while (left > 0 && table < size) {
            unsigned codes = 0;
            for (size_t i = 0; i < 16; ++i) codes += at(table + 1 + i);
            if (codes > 256) return false;
            table += 17 + codes;
            left -= long(17 + codes);
        }
    }
    return true;
}
