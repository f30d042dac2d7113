#pragma once
#include <string>

// Creates the folder dir and its missing parents; an existing folder is fine. dir may end
// in '/'. On failure returns false with error "cannot create folder <folder>: <reason>",
// naming the first folder that could not be made.
bool makeFolders(const std::string& dir, std::string& error);

// The folder part of path, "" when path has none ("a/b.png" gives "a/", "/x" gives "/").
std::string folderOf(const std::string& path);
