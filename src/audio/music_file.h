#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Largest music file read into memory.
constexpr uint64_t kMaxMusicFileBytes = uint64_t(256) << 20;

// Reads the whole regular file at path into bytes. On failure returns false with reason
// set to why, without the path: "No such file or directory", "Is a directory",
// "empty file", ...
bool readMusicFile(const char* path, std::vector<uint8_t>& bytes, std::string& reason);
