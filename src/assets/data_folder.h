#pragma once
#include <string>

// dir as an absolute folder name ending in '/': symbolic links and ".." resolved as far as
// the folder exists, the rest normalised by name, relative names taken from the working
// directory. Used to tell the user where the pictures were looked for.
std::string absoluteFolderName(const std::string& dir);
