// The picture loader on arbitrary file contents, through its real entry point: the bytes
// become a file and tryLoadImageInto reads it as the intro reads ../data/*.png. Loads go
// alternately into a slot that still holds the previous picture and into a fresh one.
#include "assets/image_loader.h"
#include "gfx/argb_gfx.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Keeps the read of every pixel from being optimised away.
volatile uint32_t pixelSink;

// One scratch file per fuzzing process, rewritten for every input.
const std::string& scratchPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/fuzz-image-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0) std::abort();
        close(fd);
        std::atexit([] { unlink(scratchPath().c_str()); });
        return pattern;
    }();
    return path;
}

void writeScratch(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(scratchPath().c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    if (std::fclose(f) != 0) std::abort();
}

// The loader's promises about the slot, whatever the bytes were.
void checkSlot(const ArgbGfx& slot, bool loaded, const ArgbGfx& before,
               const std::string& problem) {
    if (loaded) {
        const bool sane = slot.pixels && slot.width > 0 && slot.height > 0 &&
                          slot.pitch == slot.width && slot.rows == slot.height &&
                          uint64_t(slot.width) * uint64_t(slot.height) * 4 <= kMaxDecodedBytes;
        if (!sane || !problem.empty()) std::abort();
        return;
    }
    const std::string prefix = "cannot load " + scratchPath() + ": ";
    if (problem.size() <= prefix.size() || problem.compare(0, prefix.size(), prefix) != 0)
        std::abort();
    // Refused before decoding: unchanged; refused after: empty.
    const bool unchanged =
        slot.pixels == before.pixels && slot.width == before.width && slot.height == before.height;
    const bool empty = !slot.pixels && !slot.width && !slot.height && !slot.pitch && !slot.rows;
    if (!unchanged && !empty) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ArgbGfx kept;  // holds the last picture that loaded
    static bool intoKept = false;
    intoKept = !intoKept;

    writeScratch(data, size);
    ArgbGfx fresh;
    ArgbGfx& slot = intoKept ? kept : fresh;
    ArgbGfx before;  // only its fields are compared; it owns no buffer
    before.pixels = slot.pixels;
    before.width = slot.width;
    before.height = slot.height;
    std::string problem;
    const bool loaded = tryLoadImageInto(scratchPath().c_str(), slot, problem);
    checkSlot(slot, loaded, before, problem);
    before.pixels = nullptr;

    // The buffer must hold every pixel the sizes promise: each is read once, then the
    // picture is drawn the way the scenes draw it.
    if (loaded) {
        uint32_t mix = 0;
        for (int32_t y = 0; y < slot.height; ++y)
            for (int32_t x = 0; x < slot.width; ++x)
                mix ^= slot.pixels[size_t(y) * size_t(slot.pitch) + size_t(x)];
        pixelSink = mix;
        ArgbGfx canvas;
        canvas.allocate(64, 64);
        canvas.clear();
        blitMasked(canvas, slot, 0, 0);
        blitMasked(canvas, slot, 64 - slot.width, 64 - slot.height);
    }
    return 0;
}
