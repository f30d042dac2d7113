// Preloaded into the intro by the soak: counts the frames presented and writes the count
// to the file named by $SOAK_SWAP_COUNT about five times a second (written aside, then
// renamed, so a reader never sees half a number), then swaps as usual.
#include <dlfcn.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

struct SDL_Window;

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using Swap = void (*)(SDL_Window*);
    using Clock = std::chrono::steady_clock;
    static const Swap next = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static const char* path = std::getenv("SOAK_SWAP_COUNT");
    static uint64_t count = 0;
    static Clock::time_point written;
    // Only the frame loop presents, so no other thread touches these.
    ++count;
    const Clock::time_point now = Clock::now();
    if (path && (count == 1 || now - written >= std::chrono::milliseconds(200))) {
        written = now;
        const std::string aside = std::string(path) + ".new";
        if (FILE* f = std::fopen(aside.c_str(), "w")) {
            std::fprintf(f, "%llu\n", static_cast<unsigned long long>(count));
            if (std::fclose(f) == 0) std::rename(aside.c_str(), path);
        }
    }
    if (next) next(window);
}
