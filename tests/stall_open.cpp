// A slow disk for end-to-end tests, preloaded into a program (LD_PRELOAD): opening a
// path that ends in $STALL_OPEN_NAME first creates the file $STALL_OPEN_READY, so the
// test knows the program has got that far, and then waits $STALL_OPEN_SECONDS
// (default 20) before opening, going back to sleep when a signal interrupts the wait, as
// a read from a slow device would. Every other open goes straight through.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

void stallIfNamed(const char* path) {
    const char* name = std::getenv("STALL_OPEN_NAME");
    if (!name || !*name || !path) return;
    const size_t pathLength = std::strlen(path), nameLength = std::strlen(name);
    if (pathLength < nameLength || std::strcmp(path + pathLength - nameLength, name) != 0) return;
    const int savedErrno = errno;
    if (const char* ready = std::getenv("STALL_OPEN_READY")) {
        using OpenFunction = int (*)(const char*, int, ...);
        const auto realOpen = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, "open"));
        const int fd = realOpen ? realOpen(ready, O_WRONLY | O_CREAT | O_CLOEXEC, 0644) : -1;
        if (fd >= 0) close(fd);
    }
    const char* seconds = std::getenv("STALL_OPEN_SECONDS");
    timespec left = {seconds ? std::atoi(seconds) : 20, 0};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {}
    errno = savedErrno;
}

template <typename Function>
Function next(const char* symbol) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, symbol));
}

mode_t modeArgument(int flags, va_list arguments) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(arguments, int))
                                                                 : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    stallIfNamed(path);
    return next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    stallIfNamed(path);
    return next<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
}

// What fortified builds call.
int __open_2(const char* path, int flags) {
    stallIfNamed(path);
    return next<int (*)(const char*, int)>("__open_2")(path, flags);
}

int __open64_2(const char* path, int flags) {
    stallIfNamed(path);
    return next<int (*)(const char*, int)>("__open64_2")(path, flags);
}

}  // extern "C"
