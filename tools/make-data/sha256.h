#pragma once
#include <string>

// The SHA-256 digest of bytes as 64 lower-case hex digits, as sha256sum prints it.
std::string sha256Hex(const std::string& bytes);
