#pragma once

// Draws the moment `seconds` after the start of the music on a fresh canvas and presents
// it into the current back buffer. A frame whose canvas cannot be allocated is skipped.
void renderFrame(double seconds);
