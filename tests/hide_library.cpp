// Preloaded into the intro by the end-to-end tests of its sound outputs: the libraries
// named in $HIDDEN_LIBRARIES (sonames, separated by spaces) cannot be loaded with dlopen,
// as on a system without them. Libraries the program links are not affected; the intro
// links neither of those it loads itself, which the tests check.
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <string>

// True when the space-separated list names soname as one of its words.
static bool listed(const char* list, const char* soname) {
    const size_t length = std::strlen(soname);
    for (const char* at = std::strstr(list, soname); at; at = std::strstr(at + 1, soname)) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

extern "C" void* dlopen(const char* file, int mode) {
    using Open = void* (*)(const char*, int);
    static const Open next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "dlopen"));
    const char* hidden = std::getenv("HIDDEN_LIBRARIES");
    // The real loader, asked for a file that is not there, fails as it would for a missing
    // library and leaves its own message for dlerror.
    if (file && hidden && listed(hidden, file))
        return next((std::string("/nonexistent/") + file).c_str(), mode);
    return next(file, mode);
}
