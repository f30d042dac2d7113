#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Largest picture file read: more than any PNG or JPEG of at most 64 MiB decoded needs.
constexpr uint64_t kMaxPictureFileBytes = uint64_t(80) << 20;

// Why a file of `size` bytes cannot hold a picture (empty, or larger than 80 MiB); "" when
// it may.
std::string pictureFileSizeProblem(uint64_t size);

// Reads the whole file at path into bytes, or says why it cannot hold a picture: it cannot
// be opened ("No such file or directory", "Permission denied"), is a directory or no
// regular file (a FIFO would block for ever), is empty or larger than 80 MiB.
std::string readPictureFile(const char* path, std::vector<uint8_t>& bytes);
