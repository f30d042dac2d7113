#pragma once
// The command line as UTF-8 strings. A Windows program's argv is in the system's code page,
// which cannot spell every name; there the wide-character command line is converted.
#include <string>
#include <vector>

std::vector<std::string> utf8Arguments(int argc, char** argv);
