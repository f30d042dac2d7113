#pragma once
#include <cmath>

// v - trunc(v): carries the sign of v, so it lies in (-1, 1). Not a number for
// infinite or NaN v.
inline double fractionalPart(double v) {
    return v - std::trunc(v);
}
