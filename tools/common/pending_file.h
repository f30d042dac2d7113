#pragma once
#include <cstddef>
#include <string>

// An output file that appears under its final name only when it is complete: it is
// written under a temporary name in the same folder (so the final rename cannot cross
// file systems) and renamed over the final name by commit. Anything not committed is
// removed, by discard or the destructor. Missing folders on the way are created.
//
// The final name is taken as a direct write would take it:
// - a symbolic link is followed, and the file it points to is replaced; the link stays;
// - an existing file is replaced only when it could be written directly (a read-only file
//   is refused with "Permission denied"), and its replacement keeps its permission bits;
// - an existing name that is not a regular file (/dev/null, a FIFO, a terminal) is
//   written directly: renaming over it would replace the device, not write to it.
// The temporary name is new (never an existing file of the user's).
//
// Failures return false with error set to "cannot write <final path>: <system reason>"
// (or "cannot create folder ..."). Once the run is interrupted (interrupted()), an open
// waiting for a FIFO's reader or a blocked write gives up with "Interrupted system call".
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the temporary file for finalPath, open for writing.
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
    const std::string& writePath() const { return tempPath_.empty() ? targetPath_ : tempPath_; }

private:
    bool fail(int systemError, std::string& error);
    bool openDirectly(bool fifo, std::string& error);
    bool openTemporary(unsigned keptMode, std::string& error);

    int fd_ = -1;
    std::string finalPath_;   // as given, for messages
    std::string targetPath_;  // after following symbolic links
    std::string tempPath_;
};

// Writes size bytes to the open descriptor fd, retrying short writes; false with errno set
// on failure. Gives up (EINTR) once the run has been interrupted, even after a partial
// write, so a reader that has stopped reading cannot hold the run.
bool writeAll(int fd, const void* data, size_t size);

// Reads the whole regular file at path into bytes; false with errno set when it cannot.
// (POSIX only: make-data, its one user, is not built for Windows.)
bool readWholeFile(const std::string& path, std::string& bytes);
