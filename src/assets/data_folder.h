#pragma once
#include <string>
#include <vector>

// dir as an absolute folder name ending in the system's separator ('/'; '\\' on Windows):
// symbolic links and ".." resolved as far as the folder exists, the rest normalised by
// name, relative names taken from the working directory. Used to tell the user where the
// pictures were looked for.
std::string absoluteFolderName(const std::string& dir);

struct PackLoadReport;

// What a program with a terminal says of a load of the pack from dataDir, one line each:
// the warnings, or, when no picture was loaded, one line naming the resolved folder
// instead. Lines may hold a folder's bytes as they are: print them through printable().
std::vector<std::string> packLoadLines(const PackLoadReport& report, const char* dataDir);

// packLoadLines on stderr, each as "assets: " and the line through printable().
void printPackLoad(const PackLoadReport& report, const char* dataDir);
