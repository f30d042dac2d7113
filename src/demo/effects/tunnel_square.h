#pragma once

// The corners of one square of the box tunnel: (lo, lo) top-left, (hi, hi) bottom-right.
struct TunnelSquare {
    float lo;
    float hi;
};

// Square `index` (0 to 15) at `phase`. The half side is an effect formula and stays a
// double; lo and hi become line end points, so each is rounded to single precision once,
// from 32 - r and 32 + r. Rounding r first would move them by a unit in the last place.
TunnelSquare tunnelSquare(int index, double phase);
