#pragma once
#include <cstdint>
#include <string>
#include <vector>

// File-system edges of the tool. Each returns an empty string on success or a message
// "cannot <verb> <path>: <system reason>".

// Creates path and its missing parents; an existing directory is fine.
std::string makeDirectories(const std::string& path);
// Writes bytes to path + ".tmp", then renames it over path, so a reader never sees a
// half-written file.
std::string writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);
// Removes path; a missing file is fine.
std::string removeFile(const std::string& path);
// Whole file into text; false when it cannot be read.
bool readTextFile(const std::string& path, std::string& text);
