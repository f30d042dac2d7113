#pragma once
#include "demo/frame_time.h"

class ArgbGfx;

// One function per branch of the show (the timeline's table says which blocks each
// draws), each drawing onto the frame canvas after it has been cleared. They read the
// image slots and change nothing but the canvas.
void drawOpeningTitle(ArgbGfx& canvas, const FrameTime& time);
void drawJamTheRadar(ArgbGfx& canvas, const FrameTime& time);
void drawFloorZoom(ArgbGfx& canvas, const FrameTime& time);
void drawOneMan(ArgbGfx& canvas, const FrameTime& time);
void drawShitloadOfMoney(ArgbGfx& canvas, const FrameTime& time);
void drawFirstJam(ArgbGfx& canvas, const FrameTime& time);
void drawFlashPair(ArgbGfx& canvas, const FrameTime& time);
void drawRedCross(ArgbGfx& canvas, const FrameTime& time);
void drawSecondJam(ArgbGfx& canvas, const FrameTime& time);
void drawThirdJam(ArgbGfx& canvas, const FrameTime& time);
void drawWeDoIt(ArgbGfx& canvas, const FrameTime& time);
void drawMoneyAndHelmet(ArgbGfx& canvas, const FrameTime& time);
void drawHelmetsIntoWarp(ArgbGfx& canvas, const FrameTime& time);
void drawWarp(ArgbGfx& canvas, const FrameTime& time);
void drawWarpSwing(ArgbGfx& canvas, const FrameTime& time);
void drawEndFirstHalf(ArgbGfx& canvas, const FrameTime& time);
void drawEndSecondHalf(ArgbGfx& canvas, const FrameTime& time);
