#pragma once
#include <cstdint>
#include <vector>

#include "picture.h"

// The picture as PNG bytes (8-bit RGBA); the same picture always gives the same bytes.
// Empty on an encoder failure.
std::vector<uint8_t> encodePng(const Picture& pic);
