#pragma once
#include <cstdint>
#include <vector>

// An 8-bit RGB PNG of a width x height picture given as R, G, B bytes, rows top first.
// The same picture always gives the same bytes. Empty on an encoder failure.
std::vector<uint8_t> encodeRgbPng(const std::vector<uint8_t>& rgb, int32_t width, int32_t height);
