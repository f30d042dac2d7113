#include "gfx/portable_trig.h"

#include <gtest/gtest.h>

#include <quadmath.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

// Arguments from every corner of the double range: the show's own (|x| below 2^17),
// small and large magnitudes, and raw bit patterns up to 1.8e308.
double argumentNumber(std::mt19937_64& random, int kind) {
    switch (kind % 3) {
    case 0: return std::uniform_real_distribution<double>(-131072, 131072)(random);
    case 1:
        return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random),
                          int(random() % 180) - 90);
    default: {
        const uint64_t bits = random() & ~(uint64_t(1) << 62);  // finite: exponent below max
        double x;
        std::memcpy(&x, &bits, sizeof x);
        return x;
    }
    }
}

}  // namespace

TEST(PortableTrig, GivesTheNearestDoubleToTheTrueValue) {
    // The reference: 113-bit quad precision, rounded to double once.
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 150000; ++i) {
        const double x = argumentNumber(random, i);
        ASSERT_EQ(portableSin(x), double(sinq(__float128(x)))) << std::hexfloat << x;
        ASSERT_EQ(portableCos(x), double(cosq(__float128(x)))) << std::hexfloat << x;
    }
}

TEST(PortableTrig, HardCasesOfReductionAndSpecialValues) {
    // The double closest to a multiple of pi/2 (x 2/pi lies 2^-61.5 from an integer), the
    // largest double, one where a runtime's own cosine is far off, pi/2 and pi, and
    // the tiny arguments on either side of the shortcut.
    for (const double x : {0x1.6ac5b262ca1ffp+849, 0x1.fffffffffffffp+1023, -3.9e300, 1e22,
                           0x1.921fb54442d18p+0, 0x1.921fb54442d18p+1, 0x1p-27, 0x1p-1022}) {
        EXPECT_EQ(portableSin(x), double(sinq(__float128(x)))) << std::hexfloat << x;
        EXPECT_EQ(portableCos(x), double(cosq(__float128(x)))) << std::hexfloat << x;
    }
    EXPECT_TRUE(std::signbit(portableSin(-0.0)));
    EXPECT_EQ(portableCos(-0.0), 1.0);
    EXPECT_EQ(portableSin(-0x1p-30), -0x1p-30);
    for (const double x : {INFINITY, -INFINITY, NAN}) {
        EXPECT_TRUE(std::isnan(portableSin(x)));
        EXPECT_TRUE(std::isnan(portableCos(x)));
    }
}
