#pragma once
#include <cstddef>
#include <string>

// An output file that appears under its final name only when it is complete: it is
// written under a temporary name in the same folder (so the final rename cannot cross
// file systems) and renamed over the final name by commit. Anything not committed is
// removed, by discard or the destructor.
//
// A final name that exists and is not a regular file (/dev/null, a FIFO, a terminal) is
// written directly: renaming over it would replace the device, not write to it.
//
// Failures return false with error set to "cannot write <final path>: <system reason>".
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the temporary file next to finalPath, open for writing.
    bool create(const std::string& finalPath, std::string& error);
    // Appends size bytes, retrying short and interrupted writes.
    bool write(const void* data, size_t size, std::string& error);
    // Closes the file so another process (an encoder) can write the temporary name itself.
    bool close(std::string& error);
    // Closes and renames the temporary file over the final name.
    bool commit(std::string& error);
    // Closes and removes the temporary file, if there is one.
    void discard();

    // The name being written: the temporary one, or the final one when written directly.
    const std::string& writePath() const { return tempPath_.empty() ? finalPath_ : tempPath_; }

private:
    bool fail(int systemError, std::string& error);

    int fd_ = -1;
    std::string finalPath_;
    std::string tempPath_;
};

// Writes size bytes to the open descriptor fd, retrying short writes; false with errno set
// on failure. Gives up on EINTR once the run has been interrupted.
bool writeAll(int fd, const void* data, size_t size);
