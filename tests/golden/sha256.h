#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The SHA-256 digest of `size` bytes, as 64 lower-case hexadecimal digits.
std::string sha256Hex(const uint8_t* bytes, size_t size);
