#include "app/options.h"
#include "app/run_demo.h"
#include "app/window.h"
#include "assets/data_pack_manifest.h"
#include "intro_version.h"

#include <cstdio>
#include <cstring>

// A format: %s is the data folder.
static const char kUsage[] =
    "usage: intro [-f1] [-wWIDTH] [-hHEIGHT] [-xLEFT] [-yTOP]\n"
    "  Plays the show from %s (relative to the working directory).\n"
    "  -f1      a captioned window with the mouse cursor (default: borderless pop-up)\n"
    "  -wN -hN  window size in pixels; 0 or absent: the whole virtual screen\n"
    "  -xN -yN  window position\n"
    "  Escape ends the show.\n"
    "  --help, --version: this text, the version (each written whole)\n";

int main(int argc, char** argv) {
    joinStartingConsole();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf(kUsage, kDataFolder);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("intro %s\n", kIntroVersion);
            return 0;
        }
    }
    parseOptions(processCommandLine(argc, argv).c_str());
    runDemo();
}
