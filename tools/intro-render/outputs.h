#pragma once
#include "options.h"

// One function per kind of output. Each draws every moment of the run, writes it, reports,
// and returns the exit status: 0 done, 1 failed, 128 + signal when interrupted.

// --raw: the canvases as R, G, B, A bytes, concatenated, to a file or stdout.
int writeRaw(const RenderOptions& options);
// -o FILE.png: the one moment as an RGB PNG.
int writePngFile(const RenderOptions& options);
// -o DIR/: DIR/frame_00000.png and on.
int writePngFolder(const RenderOptions& options);
// --sheet FILE.png: a contact sheet of the moments.
int writeSheet(const RenderOptions& options);
// --video FILE: the capture encoded by ffmpeg, with the music.
int writeVideo(const RenderOptions& options);
