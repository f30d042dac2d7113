#include "audio/av_offset.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

AvOffset parseAvOffset(const char* value) {
    AvOffset offset;
    if (!value || !*value) return offset;
    // strtod alone would take leading blanks, hex, "inf" and "nan": only a plain decimal.
    const char* p = value;
    if (*p == '+' || *p == '-') ++p;
    bool plain = *p >= '0' && *p <= '9';
    for (; plain && *p; ++p) plain = (*p >= '0' && *p <= '9') || *p == '.';
    char* end = nullptr;
    errno = 0;
    const double ms = plain ? std::strtod(value, &end) : 0.0;
    if (!plain || *end != '\0' || errno != 0 || std::fabs(ms) > kMaxAvOffsetMs) {
        char range[64];
        std::snprintf(range, sizeof range, " from %g to %g", -kMaxAvOffsetMs, kMaxAvOffsetMs);
        offset.warning = std::string("audio: INTRO_AV_OFFSET_MS=") + value +
                         " is not a number of milliseconds" + range + "; using 0";
        return offset;
    }
    offset.seconds = ms / 1000.0;
    return offset;
}

double offsetSeconds(double heardSeconds, const AvOffset& offset) {
    return std::max(heardSeconds + offset.seconds, 0.0);
}
