#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The name of frame `index` of a PNG sequence: frame_00000.png, frame_00001.png, ...,
// with more digits from frame_100000.png on.
std::string frameName(int64_t index);

// The indices of the files in dir whose names are exactly frame names, ascending; empty
// when dir cannot be read.
std::vector<int64_t> frameFilesIn(const std::string& dir);

// Removes dir's frame files with an index of `first` or more; returns how many went.
// Stops at the first one that cannot be removed, with error set.
int64_t removeFramesFrom(const std::string& dir, int64_t first, std::string& error);
