// intro-render: draws chosen moments of the show offline, with the intro's own drawing
// code and no window, GL or audio, and writes them as raw canvases, PNG pictures, a
// contact sheet or a video with the music. `intro-render --help` lists the options.
#include "assets/image_loader.h"
#include "interrupt.h"
#include "options.h"
#include "outputs.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kBadArguments = 2;

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "intro-render: %s\n\n%s", error.c_str(), usageText());
        return kBadArguments;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    catchInterrupts();
    // The same pictures, found the same way, as the intro loads at start-up.
    loadImagesFrom(options.dataDir.c_str());

    switch (options.output) {
    case OutputKind::Raw: return writeRaw(options);
    case OutputKind::PngFile: return writePngFile(options);
    case OutputKind::PngFolder: return writePngFolder(options);
    case OutputKind::Sheet: return writeSheet(options);
    case OutputKind::Video: return writeVideo(options);
    }
    return 1;
}
