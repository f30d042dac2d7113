#include "assets/image_slots.h"

// All slots live in this one file so that they are constructed in exactly this order
// during static initialisation and destroyed in the reverse order at exit.
ArgbGfx imgBarf;
ArgbGfx imgLonestar;
ArgbGfx imgGlasses;
ArgbGfx imgDarkHelmet;
ArgbGfx imgDarkHelmetNoMask;
ArgbGfx imgRasberry;
ArgbGfx animFrames[kAnimFrameCount];
ArgbGfx imgLowrezQr;
