// The WebAssembly face of the drawing library: what the page's JavaScript calls. Pictures
// come in as file bytes and frames go out as canvas bytes; every pixel is computed here,
// by the same code as the native intro, so the browser draws exactly the same frames.
#include "assets/data_pack_manifest.h"
#include "assets/image_loader.h"
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
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

// Decodes the file bytes of picture i into its slot. Returns 0 when it cannot, with
// "cannot load <name>: <reason>" in message (capacity bytes; the slot stays as it was);
// 1 when it is loaded; 2 when it is loaded at a size the show does not expect, with the
// warning in message.
INTRO_EXPORT("introLoadPicture")
int introLoadPicture(int i, const uint8_t* bytes, size_t size, char* message, size_t capacity) {
    const std::vector<PackPicture> pictures = packPictures();
    if (i < 0 || size_t(i) >= pictures.size()) {
        copyText("no picture number " + std::to_string(i), message, capacity);
        return 0;
    }
    const PackPicture& picture = pictures[size_t(i)];
    std::string problem;
    if (!tryDecodeImageInto(bytes, size, picture.fileName.c_str(), *picture.slot, problem)) {
        copyText(problem, message, capacity);
        return 0;
    }
    const std::string warning = pictureSizeWarning(picture, picture.fileName);
    copyText(warning, message, capacity);
    return warning.empty() ? 1 : 2;
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
