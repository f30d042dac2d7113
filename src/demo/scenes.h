#pragma once
#include "demo/frame_time.h"

class ArgbGfx;

// One function per branch of the show, each drawing onto the frame canvas after it has
// been cleared. They read the image slots and change nothing but the canvas.
void drawOpeningTitle(ArgbGfx& canvas, const FrameTime& time);     // block 0
void drawJamTheRadar(ArgbGfx& canvas, const FrameTime& time);      // block 1
void drawFloorZoom(ArgbGfx& canvas, const FrameTime& time);        // blocks 2, 3
void drawOneMan(ArgbGfx& canvas, const FrameTime& time);           // blocks 4, 5
void drawShitloadOfMoney(ArgbGfx& canvas, const FrameTime& time);  // blocks 6, 7
void drawFirstJam(ArgbGfx& canvas, const FrameTime& time);         // blocks 8 to 10
void drawFlashPair(ArgbGfx& canvas, const FrameTime& time);        // block 11
void drawRedCross(ArgbGfx& canvas, const FrameTime& time);         // block 12
void drawSecondJam(ArgbGfx& canvas, const FrameTime& time);        // blocks 13, 14
void drawThirdJam(ArgbGfx& canvas, const FrameTime& time);         // blocks 15, 16
void drawWeDoIt(ArgbGfx& canvas, const FrameTime& time);           // blocks 17, 18
void drawMoneyAndHelmet(ArgbGfx& canvas, const FrameTime& time);   // block 19
void drawHelmetsIntoWarp(ArgbGfx& canvas, const FrameTime& time);  // blocks 20 to 22
void drawWarp(ArgbGfx& canvas, const FrameTime& time);             // blocks 23 to 25
void drawWarpSwing(ArgbGfx& canvas, const FrameTime& time);        // blocks 26 to 29
void drawEndFirstHalf(ArgbGfx& canvas, const FrameTime& time);     // beat 240 up to 278
void drawEndSecondHalf(ArgbGfx& canvas, const FrameTime& time);    // beat 278 on
