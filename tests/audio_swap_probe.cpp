// Preloaded into the intro by the end-to-end music tests: notes in the file named by
// $AUDIO_SWAP_LOG that a frame was presented (once), then swaps as usual. Lets a test tell
// whether any window content was shown before the process ended.
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

struct SDL_Window;

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using Swap = void (*)(SDL_Window*);
    static const Swap next = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static std::atomic<bool> noted{false};
    const char* log = std::getenv("AUDIO_SWAP_LOG");
    if (log && !noted.exchange(true)) {
        if (FILE* f = std::fopen(log, "w")) {
            std::fputs("presented\n", f);
            std::fclose(f);
        }
    }
    if (next) next(window);
}
