#include "music_track.h"

#include "assets/regular_file.h"

#include <mpg123.h>

#include <cstdint>
#include <unistd.h>

namespace {

// The file is a regular one that can be read; "" or the reason it is not.
std::string fileProblem(const std::string& path) {
    std::string problem;
    uint64_t size = 0;
    const int fd = openRegularFile(path.c_str(), UINT64_MAX, size, problem);
    if (fd >= 0) close(fd);
    return problem;
}

}  // namespace

bool measureMusic(const std::string& path, double& seconds, std::string& reason) {
    reason = fileProblem(path);
    if (!reason.empty()) return false;
    int status = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &status);
    if (!handle) {
        reason = "cannot start the MP3 decoder";
        return false;
    }
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    long rate = 0;
    int channels = 0, encoding = 0;
    off_t samples = MPG123_ERR;
    if (mpg123_open(handle, path.c_str()) == MPG123_OK &&
        mpg123_getformat(handle, &rate, &channels, &encoding) == MPG123_OK && rate > 0 &&
        mpg123_scan(handle) == MPG123_OK)
        samples = mpg123_length(handle);
    mpg123_close(handle);
    mpg123_delete(handle);
    if (samples <= 0) {
        reason = "no MP3 audio in it";
        return false;
    }
    seconds = double(samples) / double(rate);
    return true;
}
