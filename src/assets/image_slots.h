#pragma once
#include "gfx/argb_gfx.h"

// The pictures of the show, filled once at start-up by loadImages and only read afterwards.
extern ArgbGfx imgBarf;
extern ArgbGfx imgLonestar;
extern ArgbGfx imgGlasses;
extern ArgbGfx imgDarkHelmet;
extern ArgbGfx imgDarkHelmetNoMask;
extern ArgbGfx imgRasberry;
constexpr int kAnimFrameCount = 35;
extern ArgbGfx animFrames[kAnimFrameCount];
extern ArgbGfx imgLowrezQr;
