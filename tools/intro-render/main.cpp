// intro-render: draws chosen moments of the show offline, with the intro's own drawing
// code and no window, GL or audio, and writes them as raw canvases, PNG pictures, a
// contact sheet or a video with the music; checks a data folder and fits a track's beats
// to the show's. `intro-render --help` lists the options.
#include "arguments.h"
#include "check_findings.h"
#include "fit_music.h"
#include "load_pictures.h"
#include "interrupt.h"
#include "options.h"
#include "outputs.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kBadArguments = 2;
constexpr int kFailed = 1;

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments = utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(&argument[0]);
    pointers.push_back(nullptr);
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(int(arguments.size()), pointers.data(), options, error)) {
        std::fprintf(stderr, "intro-render: %s\ntry 'intro-render --help'\n", error.c_str());
        return kBadArguments;
    }
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    catchInterrupts();
    if (options.task == Task::FitMusic) {
        if (fitMusic(options.fitInput, options.outputPath, error)) return 0;
        std::fprintf(stderr, "intro-render: %s\n", error.c_str());
        return kFailed;
    }
    if (options.task == Task::Check) {
        if (!checkDataFolder(options, error)) {
            std::fprintf(stderr, "intro-render: %s\n", error.c_str());
            return kFailed;
        }
        CheckFindings findings = checkPictures(options.dataDir);
        const CheckFindings music = checkMusic(options.dataDir + kMusicFileName);
        findings.insert(findings.end(), music.begin(), music.end());
        const std::string report = options.json ? checkJson(findings) : checkText(findings);
        std::fputs(report.c_str(), stdout);
        return playsAsMeant(findings) ? 0 : kFailed;
    }
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
