#pragma once
#include "demo/frame_time.h"

class ArgbGfx;

// The time values of the moment `seconds` after the start of the music.
FrameTime frameTimeAtSeconds(double seconds);
// The time values of a moment given directly as a beat.
FrameTime frameTimeAtBeat(double beat);

// The branches of the show, in show order: one per row of blocks, then the two halves
// of the end section.
enum class ShowBranch {
    OpeningTitle,      // block 0
    JamTheRadar,       // block 1
    FloorZoom,         // blocks 2, 3
    OneMan,            // blocks 4, 5
    ShitloadOfMoney,   // blocks 6, 7
    FirstJam,          // blocks 8 to 10
    FlashPair,         // block 11
    RedCross,          // block 12
    SecondJam,         // blocks 13, 14
    ThirdJam,          // blocks 15, 16
    WeDoIt,            // blocks 17, 18
    MoneyAndHelmet,    // block 19
    HelmetsIntoWarp,   // blocks 20 to 22
    Warp,              // blocks 23 to 25
    WarpSwing,         // blocks 26 to 29
    EndFirstHalf,      // beat 240 (or below -1) up to 278
    EndSecondHalf,     // from beat 278
};

ShowBranch showBranchFor(const FrameTime& time);

// Draws the moment onto a freshly cleared 64 x 64 canvas: a pure function of the time
// values and the image slots.
void drawFrame(ArgbGfx& canvas, const FrameTime& time);
