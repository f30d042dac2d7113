// The WebAssembly face of the drawing library: what the page's JavaScript calls. Pictures
// come in as file bytes and frames go out as canvas bytes; every pixel is computed here,
// by the same code as the native intro, so the browser draws exactly the same frames.
#include "assets/data_pack.h"
#include "assets/data_pack_manifest.h"
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#define INTRO_EXPORT(name) extern "C" __attribute__((export_name(name), used))

namespace {

constexpr size_t kFrameBytes = size_t(kCanvasSize) * kCanvasSize * 4;

// Copies text into out (capacity bytes, at least 1), cut if need be, NUL-terminated.
void copyText(const std::string& text, char* out, size_t capacity) {
    if (!out || capacity == 0) return;
    const size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

}  // namespace

// Memory JavaScript writes file bytes into or reads frames from: size bytes, or 0.
INTRO_EXPORT("introAlloc") void* introAlloc(size_t size) {
    return std::malloc(size);
}

INTRO_EXPORT("introFree") void introFree(void* memory) {
    std::free(memory);
}

INTRO_EXPORT("introPictureCount") int introPictureCount() {
    return int(packPictures().size());
}

// Writes picture i's file name, relative to the data folder, into name (capacity bytes);
// false for an i out of range. The pictures are numbered in the native loading order.
INTRO_EXPORT("introPictureName") bool introPictureName(int i, char* name, size_t capacity) {
    const std::vector<PackPicture> pictures = packPictures();
    if (i < 0 || size_t(i) >= pictures.size()) return false;
    copyText(pictures[size_t(i)].fileName, name, capacity);
    return true;
}

// A load of the data pack, as the native programs load it (the same checks, warnings and
// budget for all pictures together): begun, handed every picture in the order of
// introPictureName, finished. 0 when there is no memory for it.
INTRO_EXPORT("introPackBegin") PackLoad* introPackBegin() {
    return new (std::nothrow) PackLoad();
}

// Picture i from its file's bytes (copied; the caller may free them at once), named by its
// file name in warnings.
INTRO_EXPORT("introPackPicture")
void introPackPicture(PackLoad* pack, int i, const uint8_t* bytes, size_t size) {
    const std::vector<PackPicture> pictures = packPictures();
    if (!pack || i < 0 || size_t(i) >= pictures.size()) return;
    const PackPicture& picture = pictures[size_t(i)];
    loadPackPictureBytes(*pack, picture, std::vector<uint8_t>(bytes, bytes + size),
                         picture.fileName);
}

// A picture the page could not fetch: problem (NUL-terminated) is its warning.
INTRO_EXPORT("introPackProblem") void introPackProblem(PackLoad* pack, const char* problem) {
    if (pack && problem) notePackPictureProblem(*pack, problem);
}

// Ends the load and frees pack: writes its warnings, one a line, into lines (capacity
// bytes, cut if need be) and returns the number of pictures loaded.
INTRO_EXPORT("introPackFinish") int introPackFinish(PackLoad* pack, char* lines, size_t capacity) {
    if (!pack) return 0;
    const PackLoadReport report = finishPackLoad(*pack);
    delete pack;
    std::string text;
    for (const std::string& warning : report.warnings) text += warning + "\n";
    copyText(text, lines, capacity);
    return report.loaded;
}

// Draws the moment `seconds` after the start of the music and copies the canvas, bytes
// R, G, B, A per pixel, into frame (16,384 bytes); false when no canvas could be made.
INTRO_EXPORT("introDrawFrame") bool introDrawFrame(double seconds, uint8_t* frame) {
    ArgbGfx canvas;
    if (!drawFreshFrame(canvas, frameTimeAtSeconds(seconds))) return false;
    std::memcpy(frame, canvas.pixels, kFrameBytes);
    return true;
}

INTRO_EXPORT("introFrameBytes") size_t introFrameBytes() {
    return kFrameBytes;
}
