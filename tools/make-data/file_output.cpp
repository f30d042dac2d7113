#include "file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string failure(const std::string& verb, const std::string& path, int error) {
    return std::string("cannot ") + verb + " " + path + ": " + std::strerror(error);
}

std::string makeOneDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return "";
    int error = errno;
    struct stat info;
    if (error == EEXIST && stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return "";
        error = ENOTDIR;
    }
    return failure("create directory", path, error);
}

}  // namespace

std::string makeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string parent = path.substr(0, slash);
        struct stat info;
        if (stat(parent.c_str(), &info) == 0) continue;
        std::string error = makeOneDirectory(parent);
        if (!error.empty()) return error;
    }
    return makeOneDirectory(path);
}

std::string writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temp = path + ".tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return failure("create", temp, errno);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int error = n < 0 ? errno : EIO;
            close(fd);
            unlink(temp.c_str());
            return failure("write", temp, error);
        }
        done += static_cast<size_t>(n);
    }
    if (close(fd) != 0) {
        int error = errno;
        unlink(temp.c_str());
        return failure("write", temp, error);
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        int error = errno;
        unlink(temp.c_str());
        return failure("rename " + temp + " to", path, error);
    }
    return "";
}

std::string removeFile(const std::string& path) {
    if (unlink(path.c_str()) == 0 || errno == ENOENT) return "";
    return failure("remove", path, errno);
}

bool readTextFile(const std::string& path, std::string& text) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    text.clear();
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}
