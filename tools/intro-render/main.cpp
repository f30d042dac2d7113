// intro-render: draws chosen moments of the show offline, with the intro's own drawing
// code and no window, GL or audio, and writes them as raw canvases, PNG pictures, a
// contact sheet or a video with the music. `intro-render --help` lists the options.
#include "load_pictures.h"
#include "interrupt.h"
#include "options.h"
#include "outputs.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kBadArguments = 2;
constexpr int kFailed = 1;

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "intro-render: %s\ntry 'intro-render --help'\n", error.c_str());
        return kBadArguments;
    }
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    catchInterrupts();
    // The same pictures, found the same way, as the intro loads at start-up; a folder
    // named with --data must hold them.
    if (!loadPictures(options, error)) {
        std::fprintf(stderr, "intro-render: %s\n", error.c_str());
        return kFailed;
    }

    switch (options.output) {
    case OutputKind::Raw: return writeRaw(options);
    case OutputKind::PngFile: return writePngFile(options);
    case OutputKind::PngFolder: return writePngFolder(options);
    case OutputKind::Sheet: return writeSheet(options);
    case OutputKind::Video: return writeVideo(options);
    }
    return kFailed;
}
