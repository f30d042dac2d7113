// Windows: the wide-character command line, split as the C runtime splits it, in UTF-8.
#include "arguments.h"

#include <windows.h>

#include <shellapi.h>

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide || count != argc) {
        if (wide) LocalFree(wide);
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(bytes > 0 ? size_t(bytes) : 1, '\0');
        if (bytes > 0)
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &argument[0], bytes, nullptr, nullptr);
        argument.pop_back();  // the terminating null
        arguments.push_back(argument);
    }
    LocalFree(wide);
    return arguments;
}
