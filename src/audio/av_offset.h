#pragma once
#include <string>

// The listener's correction between picture and sound, from INTRO_AV_OFFSET_MS: seconds
// added to the heard clock before a frame is drawn. Positive runs the picture ahead of the
// sound (for a display that shows frames later than the speakers play them), negative
// holds it back.
struct AvOffset {
    double seconds = 0.0;
    std::string warning;  // one line for stderr about a bad value; empty when none
};

// Largest correction accepted either way, in milliseconds: beyond it the value is surely a
// mistake (seconds typed for milliseconds), not a device's delay.
constexpr double kMaxAvOffsetMs = 5000.0;

// The offset for the variable's value (null or empty when unset: 0). A value that is not a
// plain decimal number of milliseconds within kMaxAvOffsetMs gives 0 and a warning naming
// the variable and the value.
AvOffset parseAvOffset(const char* value);

// The moment to draw for a heard position, both in seconds: heard + offset, never before
// the start of the show, so that a negative offset cannot send the first frames past it.
double offsetSeconds(double heardSeconds, const AvOffset& offset);
