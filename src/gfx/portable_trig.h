#pragma once

// Sine and cosine of our own, used by every effect instead of the C library's, so that a
// frame is the same on every platform by construction: C libraries differ in the last bit
// (and some are far off for huge arguments), and a last bit can move a line end point.
//
// Both reduce every finite argument exactly (with 1,280 bits of 2/pi) and evaluate in
// double-double arithmetic, so the result is the true value rounded to nearest: always
// within 1 ulp, and off the nearest double only where the true value lies within about
// 2^-85 of a rounding boundary. Infinity and NaN give NaN.
double portableSin(double x);
double portableCos(double x);
