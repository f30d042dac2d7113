// POSIX: names are bytes, so the arguments are taken as they come.
#include "arguments.h"

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}
