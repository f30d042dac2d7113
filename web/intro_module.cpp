// The WebAssembly face of the drawing library: what the page's JavaScript calls. Pictures
// come in as file bytes and frames go out as canvas bytes; every pixel is computed here,
// by the same code as the native intro, so the browser draws exactly the same frames. The
// findings of intro-render --check are the same code too, run on the pictures as they load
// and on the music the browser decoded.
#include "assets/data_pack.h"
#include "assets/data_pack_manifest.h"
#include "audio/mp3_decoder.h"
#include "audio/stream.h"
#include "check_findings.h"
#include "music_track.h"
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

// One load of the data pack and what the check finds in it.
struct PackCheck {
    PictureCheck pictures;
    CheckFindings pictureFindings;  // once the load is finished
    CheckFindings musicFindings;    // once the music was handed over
    std::string musicName;
    int fileRate = 0, fileChannels = 0;  // from the track's first frame
};

// Every slot empty, as at start-up: a load replaces the pictures of the one before, and a
// picture that fails now leaves its slot empty, as it would in a fresh start.
void emptySlots() {
    for (const PackPicture& picture : packPictures()) picture.slot->allocate(-1, -1);
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
// budget for all pictures together) and as intro-render --check looks at it: begun (the
// slots emptied), handed every picture in the order of introPictureName, finished, then
// perhaps handed the music and reported, and ended. 0 when there is no memory for it.
INTRO_EXPORT("introPackBegin") PackCheck* introPackBegin() {
    PackCheck* check = new (std::nothrow) PackCheck();
    if (check) emptySlots();
    return check;
}

// Picture i from its file's bytes (copied; the caller may free them at once), named by its
// file name in warnings.
INTRO_EXPORT("introPackPicture")
void introPackPicture(PackCheck* check, int i, const uint8_t* bytes, size_t size) {
    const std::vector<PackPicture> pictures = packPictures();
    if (!check || i < 0 || size_t(i) >= pictures.size()) return;
    const PackPicture& picture = pictures[size_t(i)];
    checkPicture(check->pictures, picture, picture.fileName, [&](PackLoad& pack) {
        loadPackPictureBytes(pack, picture, std::vector<uint8_t>(bytes, bytes + size),
                             picture.fileName);
    });
}

// Picture i could not be read by the page: problem (NUL-terminated) is its warning.
INTRO_EXPORT("introPackProblem")
void introPackProblem(PackCheck* check, int i, const char* problem) {
    const std::vector<PackPicture> pictures = packPictures();
    if (!check || !problem || i < 0 || size_t(i) >= pictures.size()) return;
    checkPicture(check->pictures, pictures[size_t(i)], pictures[size_t(i)].fileName,
                 [&](PackLoad& pack) { notePackPictureProblem(pack, problem); });
}

// Ends the load of the pictures: writes its warnings, one a line, into lines (capacity
// bytes, cut if need be) and returns the number of pictures loaded.
INTRO_EXPORT("introPackFinish")
int introPackFinish(PackCheck* check, char* lines, size_t capacity) {
    if (!check) return 0;
    check->pictureFindings = finishPictureCheck(check->pictures);
    const PackLoadReport& report = check->pictures.pack.report;
    std::string text;
    for (const std::string& warning : report.warnings) text += warning + "\n";
    copyText(text, lines, capacity);
    return report.loaded;
}

// The music file (size bytes, named name) as the intro's reader takes it: true when it
// would, the file's own rate and channels noted; false, with its finding, when the reader
// refuses it (another kind of audio, no MPEG frames).
INTRO_EXPORT("introMusicFile")
bool introMusicFile(PackCheck* check, const uint8_t* bytes, size_t size, const char* name) {
    if (!check || !name) return false;
    check->musicName = name;
    check->musicFindings.clear();
    std::string reason;
    if (uint64_t(size) > kMaxMusicFileBytes) {
        reason = "larger than " + std::to_string(kMaxMusicFileBytes >> 20) + " MiB";
    } else {
        const size_t tags = id3v2TagBytes(bytes, size);
        const size_t start = mp3StreamStart(bytes + tags, size - tags, reason);
        if (start != SIZE_MAX) {
            mpegFrameFormat(bytes + tags + start, check->fileRate, check->fileChannels);
            return true;
        }
        reason = readerRefusal(reason);
    }
    check->musicFindings.push_back(unreadableMusic(name, reason));
    return false;
}

// The track the reader takes could not be decoded by the browser: reason (NUL-terminated).
INTRO_EXPORT("introMusicProblem") void introMusicProblem(PackCheck* check, const char* reason) {
    if (!check || !reason) return;
    check->musicFindings = {unreadableMusic(check->musicName, reason)};
}

// Seconds of the decoded track the check looks at (the samples handed over).
INTRO_EXPORT("introHeardSeconds") double introHeardSeconds() {
    return kHeardSeconds;
}

// The decoded track: frames of 44100 Hz stereo 16-bit samples, interleaved (at most
// introHeardSeconds of them), of a track seconds long.
INTRO_EXPORT("introMusicSamples")
void introMusicSamples(PackCheck* check, const int16_t* samples, size_t frames, double seconds) {
    if (!check) return;
    DecodedMusic music;
    music.samples.assign(samples, samples + frames * kStreamChannels);
    music.seconds = seconds;
    music.fileRate = check->fileRate;
    music.fileChannels = check->fileChannels;
    check->musicFindings = checkDecodedMusic(music);
}

// What intro-render --check prints for the pack, into out (capacity bytes, cut if need be);
// returns the report's whole length in bytes.
INTRO_EXPORT("introCheckReport")
size_t introCheckReport(PackCheck* check, char* out, size_t capacity) {
    if (!check) return 0;
    CheckFindings findings = check->pictureFindings;
    findings.insert(findings.end(), check->musicFindings.begin(), check->musicFindings.end());
    const std::string report = checkText(findings);
    copyText(report, out, capacity);
    return report.size();
}

INTRO_EXPORT("introPackEnd") void introPackEnd(PackCheck* check) {
    delete check;
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
