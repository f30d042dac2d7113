#pragma once

// Draws the moment `seconds` after the start of the music on a fresh canvas and presents
// it into the current back buffer. Returns whether it did: false for a frame whose canvas
// cannot be allocated, and for one that shows exactly the picture already on screen
// (see presentCanvas). The caller swaps buffers only after a true.
bool renderFrame(double seconds);
