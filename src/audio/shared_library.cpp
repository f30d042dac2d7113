#include "audio/shared_library.h"

#include <dlfcn.h>

static std::string loaderError(const char* fallback) {
    const char* error = dlerror();
    return error ? error : fallback;
}

void* openSharedLibrary(const char* soname, std::string& reason) {
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!library) reason = loaderError((std::string(soname) + ": cannot be loaded").c_str());
    return library;
}

void* librarySymbol(void* library, const char* name, std::string& reason) {
    dlerror();
    void* address = dlsym(library, name);
    if (!address) reason = loaderError((std::string("no function ") + name).c_str());
    return address;
}
