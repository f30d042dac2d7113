#pragma once

class ArgbGfx;

// The procedural backgrounds. Each draws into a 64 x 64 canvas centred on (32, 32)
// and keeps nothing between calls.

// Hyperspace streaks, then spoke stars and the box tunnel as |t| grows; t in beats,
// may be negative. Adds to the canvas; leaves color at the last colour it set.
void warpEffect(ArgbGfx& canvas, double t);
// 16 nested square outlines in the canvas's current colour.
void boxTunnel(ArgbGfx& canvas, double phase);
// Clears the canvas, swings ten spokes, then bobs imgRasberry in front of them.
void spokesEffect(ArgbGfx& canvas, double beat);
// Fills the canvas with imgGlasses seen as a receding, scrolling floor.
void floorZoomEffect(ArgbGfx& canvas, double beat);
