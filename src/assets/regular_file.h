#pragma once
// The one way the programs read a file of the data folder whole: only regular files, never
// waiting on a FIFO or device, within a size limit.
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// Why a file of `size` bytes is refused under `limit`: "empty file", "file larger than
// N MiB"; "" when it is accepted.
std::string fileSizeProblem(uint64_t size, uint64_t limit);

// Reads the whole file at path into bytes. On failure returns false, bytes empty and
// reason set to why, without the path: the system's words ("No such file or directory",
// "Is a directory", "Permission denied"), "not a regular file", or fileSizeProblem's.
bool readRegularFile(const char* path, uint64_t limit, std::vector<uint8_t>& bytes,
                     std::string& reason);

// Opens the file at path as readRegularFile would read it and gives its size: a
// close-on-exec descriptor (closed by closeRegularFile), or -1 with reason as for
// readRegularFile. On Windows the file may be replaced or deleted while it is open.
int openRegularFile(const char* path, uint64_t limit, uint64_t& size, std::string& reason);

void closeRegularFile(int fd);

// The size the open file has now (it may have grown or been cut since it was opened); 0
// when the system cannot tell.
uint64_t currentFileSize(int fd);

// Tells the system that the file will be read on from offset, so that it fetches ahead of
// the reads (where the system reads ahead by itself, nothing).
void readAheadFrom(int fd, uint64_t offset);

// Reads up to `bytes` from offset, fewer only where the file now ends; -1 on an error
// (errno tells which).
ssize_t readFileAt(int fd, uint64_t offset, void* out, size_t bytes);
