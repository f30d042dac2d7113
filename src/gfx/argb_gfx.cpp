#include "gfx/argb_gfx.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>

ArgbGfx::ArgbGfx() : pitch(0), rows(0), pixels(nullptr), width(0), height(0), color(0xFFFFFFFFu) {}

ArgbGfx::~ArgbGfx() {
    if (pixels) std::free(pixels);
}

void ArgbGfx::allocate(int32_t w, int32_t h) {
    if (pixels) std::free(pixels);
    pixels = nullptr;
    pitch = rows = width = height = 0;
    if (w < 0 || h < 0) return;
    const uint64_t bytes = uint64_t(w) * uint64_t(h) * 4u;  // both < 2^31: cannot wrap
    // No allocator hands out more than PTRDIFF_MAX bytes; asking would only fail later.
    if (bytes > uint64_t(std::numeric_limits<ptrdiff_t>::max())) return;
    // malloc(0) may return null or a unique pointer; ask for one byte so a 0-sized image
    // still counts as allocated only when the allocator agrees.
    void* buffer = std::malloc(bytes ? size_t(bytes) : 1u);
    if (!buffer) return;
    pixels = static_cast<uint32_t*>(buffer);
    pitch = width = w;
    rows = height = h;
}

void ArgbGfx::clear() {
    if (!pixels) return;
    for (int32_t y = 0; y < height; ++y)
        std::memset(pixels + size_t(y) * size_t(pitch), 0, size_t(width) * 4u);
}
