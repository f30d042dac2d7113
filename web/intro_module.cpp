// The WebAssembly face of the drawing library: what the page's JavaScript calls. Pictures
// come in as file bytes and frames go out as canvas bytes; every pixel is computed here,
// by the same code as the native intro, so the browser draws exactly the same frames.
#include "assets/image_loader.h"
#include "assets/image_slots.h"
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define INTRO_EXPORT(name) extern "C" __attribute__((export_name(name), used))

namespace {

constexpr int kStillCount = 7;
constexpr int kPictureCount = kStillCount + kAnimFrameCount;
constexpr size_t kFrameBytes = size_t(kCanvasSize) * kCanvasSize * 4;

struct Still {
    const char* name;
    ArgbGfx* slot;
};

// Picture number i: the stills in the order the native loader takes them, with the
// animation frames between rasberry.png and darkhelmetnomask.png.
ArgbGfx* pictureSlot(int i, char* name, size_t nameBytes) {
    const Still before[] = {{"barf.png", &imgBarf},
                            {"lonestar.png", &imgLonestar},
                            {"glasses.png", &imgGlasses},
                            {"darkhelmet.png", &imgDarkHelmet},
                            {"rasberry.png", &imgRasberry}};
    const Still after[] = {{"darkhelmetnomask.png", &imgDarkHelmetNoMask}, {"lowrezqr.png", &imgLowrezQr}};
    const int beforeCount = int(sizeof before / sizeof before[0]);
    const Still* still = nullptr;
    if (i >= 0 && i < beforeCount) still = &before[i];
    if (i >= beforeCount + kAnimFrameCount && i < kPictureCount) still = &after[i - beforeCount - kAnimFrameCount];
    if (still) {
        std::snprintf(name, nameBytes, "%s", still->name);
        return still->slot;
    }
    if (i < beforeCount || i >= kPictureCount) return nullptr;
    // Element n holds frame number n + 1: jtranim/jtr01.png to jtranim/jtr35.png.
    const int frame = i - beforeCount;
    std::snprintf(name, nameBytes, "jtranim/jtr%2.2d.png", frame + 1);
    return &animFrames[frame];
}

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
    return kPictureCount;
}

// Writes picture i's file name relative to the data folder into name (capacity bytes);
// false for an i out of range.
INTRO_EXPORT("introPictureName") bool introPictureName(int i, char* name, size_t capacity) {
    char text[64];
    if (!pictureSlot(i, text, sizeof text)) return false;
    copyText(text, name, capacity);
    return true;
}

// Decodes the file bytes of picture i into its slot. On failure returns false and writes
// "cannot load <name>: <reason>" into problem (capacity bytes); the slot stays empty.
INTRO_EXPORT("introLoadPicture")
bool introLoadPicture(int i, const uint8_t* bytes, size_t size, char* problem, size_t capacity) {
    char name[64];
    ArgbGfx* slot = pictureSlot(i, name, sizeof name);
    if (!slot) {
        copyText("no picture number " + std::to_string(i), problem, capacity);
        return false;
    }
    std::string why;
    if (tryDecodeImageInto(bytes, size, name, *slot, why)) return true;
    copyText(why, problem, capacity);
    return false;
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
