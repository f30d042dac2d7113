// Windows: the two outputs that need programs or libraries this build does not have yet.
// They say so and fail, so nothing half-made is reported as done.
#include "fit_music.h"
#include "outputs.h"

#include <cstdio>

int writeVideo(const RenderOptions&) {
    std::fputs(
        "intro-render: --video starts ffmpeg, which the Windows build cannot do yet; "
        "make the video with the Linux build\n",
        stderr);
    return 1;
}

bool fitMusic(const std::string&, const std::string&, std::string& error) {
    error =
        "--fit-music needs the MP3 encoder, which the Windows build does not have yet; "
        "fit the track with the Linux build";
    return false;
}
