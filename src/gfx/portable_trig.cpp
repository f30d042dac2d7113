#include "gfx/portable_trig.h"

#include <cstdint>
#include <cstring>

namespace {

// A number carried as the unevaluated sum hi + lo, |lo| at most half an ulp of hi: about
// 106 bits. Built from plain double operations only (no fused multiply-add), so it
// rounds the same wherever IEEE doubles round to nearest.
struct DoubleDouble {
    double hi, lo;
};

DoubleDouble twoSum(double a, double b) {
    const double s = a + b;
    const double bPart = s - a;
    return {s, (a - (s - bPart)) + (b - bPart)};
}

// Needs |a| >= |b| or a == 0.
DoubleDouble quickTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a = hi + lo with 26 significant bits in each half, so products of halves are exact.
// Only used on values below 4, far from overflow.
DoubleDouble splitHalves(double a) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    const double hi = c - (c - a);
    return {hi, a - hi};
}

DoubleDouble twoProduct(double a, double b) {
    const double p = a * b;
    const DoubleDouble as = splitHalves(a), bs = splitHalves(b);
    return {p, ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo};
}

// Good to about 2^-104 of the sum where the two do not nearly cancel, as everywhere here:
// terms of one sign, or a term far smaller than the other.
DoubleDouble add(DoubleDouble a, DoubleDouble b) {
    const DoubleDouble s = twoSum(a.hi, b.hi);
    return quickTwoSum(s.hi, s.lo + (a.lo + b.lo));
}

DoubleDouble multiply(DoubleDouble a, DoubleDouble b) {
    const DoubleDouble p = twoProduct(a.hi, b.hi);
    return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

DoubleDouble negated(DoubleDouble a) {
    return {-a.hi, -a.lo};
}

// The first 1,280 bits of the fraction of 2/pi, 32 to an element, most significant first:
// enough for the largest double (2^1024 needs bits up to about 1,230). Computed from
// pi/4 = 4 arctan(1/5) - arctan(1/239) in integer arithmetic (tools/trig-tables.py).
constexpr int kTwoOverPiElements = 40;
constexpr uint32_t kTwoOverPi[kTwoOverPiElements] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D};

// pi/2 to 107 bits.
constexpr DoubleDouble kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};

// Below this the argument is its own reduction.
constexpr double kQuarterPiBelow = 0x1.921fb54442d18p-1;

// Below this sin x rounds to x and cos x to 1: x^3/6 and x^2/2 lie under a quarter ulp.
constexpr double kTiny = 0x1p-27;

uint32_t twoOverPiElement(int index) {
    return index >= 0 && index < kTwoOverPiElements ? kTwoOverPi[index] : 0;
}

// 32 bits of 2/pi from bit `first` on, bit 1 being the first after the point; bits at
// and before the point (the integer part, 0) read as 0.
uint32_t twoOverPiBits(int first) {
    const int offset = first - 1;
    const int element = offset >= 0 ? offset / 32 : -((31 - offset) / 32);
    const int shift = offset - element * 32;
    const uint64_t pair = uint64_t(twoOverPiElement(element)) << 32 | twoOverPiElement(element + 1);
    return uint32_t(pair >> (32 - shift));
}

// |x| = k x pi/2 + r with |r| <= pi/4; the quadrant is k mod 4.
struct Reduced {
    int quadrant;
    DoubleDouble r;
};

constexpr int kWindowLimbs = 8;  // 256 bits of 2/pi for each argument

// Exact reduction of a finite x > pi/4. With x = m 2^e (m a 53-bit integer), bits of 2/pi
// before bit e - 1 only add multiples of 4 to x 2/pi, so the product of m with the 256
// bits from there on holds k mod 4 in its top two bits and the fraction in the other 254,
// good to 2^-200: far more than the closest any double comes to a multiple of pi/2.
Reduced reduce(double x) {
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const int e = int(bits >> 52) - 1075;
    const uint64_t m = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);

    uint32_t window[kWindowLimbs];  // least significant first
    for (int k = 0; k < kWindowLimbs; ++k)
        window[kWindowLimbs - 1 - k] = twoOverPiBits(e - 1 + 32 * k);
    const uint32_t mLimbs[2] = {uint32_t(m), uint32_t(m >> 32)};
    uint32_t product[kWindowLimbs] = {};  // m x window, mod 2^256
    for (int j = 0; j < 2; ++j) {
        uint64_t carry = 0;
        for (int i = 0; i + j < kWindowLimbs; ++i) {
            const uint64_t t = uint64_t(window[i]) * mLimbs[j] + product[i + j] + carry;
            product[i + j] = uint32_t(t);
            carry = t >> 32;
        }
    }

    uint32_t& top = product[kWindowLimbs - 1];
    int quadrant = int(top >> 30);
    top &= 0x3FFFFFFF;
    // A fraction of a half or more belongs to the next quadrant, as fraction - 1.
    const bool negative = (top >> 29) != 0;
    if (negative) {
        ++quadrant;
        uint64_t carry = 1;
        for (uint32_t& limb : product) {
            const uint64_t t = uint64_t(~limb) + carry;
            limb = uint32_t(t);
            carry = t >> 32;
        }
        top &= 0x3FFFFFFF;
    }

    // The fraction, sum of limb x 2^(32 i - 254), each term exact.
    DoubleDouble fraction = {0, 0};
    double scale = 0x1p-30;
    for (int i = kWindowLimbs - 1; i >= 0; --i) {
        fraction = add(fraction, {double(product[i]) * scale, 0});
        scale *= 0x1p-32;
    }
    const DoubleDouble r = multiply(fraction, kHalfPi);
    return {quadrant & 3, negative ? negated(r) : r};
}

// pi/2 in three parts, the first two of 33 significant bits, so that k times each is
// exact for every k below 2^20.
constexpr double kHalfPiParts[3] = {0x1.921fb544p+0, 0x1.0b4611a6p-34, 0x1.3198a2e037073p-69};
constexpr double kShortReductionBelow = 0x1p20;
constexpr double kTwoOverPiRounded = 0x1.45f306dc9c883p-1;
// The short reduction is off by up to 2^-100; below this |r| that could show.
constexpr double kShortReductionSmallest = 0x1p-16;

// The usual quick reduction for pi/4 < x < 2^20, or false where it is not good enough.
// x - k x first part is exact (the two lie within a factor of 2 of each other), so the
// error is k times what the three parts leave out of pi/2. A k one off the nearest
// leaves |r| a rounding error above pi/4, which the series still covers.
bool reduceShort(double x, Reduced& reduced) {
    const double k = double(int64_t(x * kTwoOverPiRounded + 0.5));
    const double head = x - k * kHalfPiParts[0];
    const DoubleDouble r =
        add(twoSum(head, -k * kHalfPiParts[1]), negated(twoProduct(k, kHalfPiParts[2])));
    if (r.hi < kShortReductionSmallest && r.hi > -kShortReductionSmallest) return false;
    reduced = {int(int64_t(k) & 3), r};
    return true;
}

// Reduction of a finite x >= 0.
Reduced reduceNonNegative(double x) {
    if (x <= kQuarterPiBelow) return {0, {x, 0}};
    Reduced reduced;
    if (x < kShortReductionBelow && reduceShort(x, reduced)) return reduced;
    return reduce(x);
}

// Sum over n of coefficient[n] z^n by Horner's rule: the small terms from kFirstPlain on
// in plain double, their high parts alone (what that loses lies below 2^-86 of the sum),
// the others in double-double. The coefficients are (-1)^n / (2n + 1)! and
// (-1)^n / (2n)!, each the nearest double plus the nearest double to what is left.
constexpr int kTerms = 14;  // the next term is below 2^-107 for |r| <= pi/4
constexpr int kFirstPlain = 6;

DoubleDouble series(const DoubleDouble (&coefficient)[kTerms], DoubleDouble z) {
    double plain = coefficient[kTerms - 1].hi;
    for (int n = kTerms - 2; n >= kFirstPlain; --n) plain = plain * z.hi + coefficient[n].hi;
    DoubleDouble sum = {plain, 0};
    for (int n = kFirstPlain - 1; n >= 0; --n) sum = add(multiply(sum, z), coefficient[n]);
    return sum;
}

constexpr DoubleDouble kSineSeries[kTerms] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {-0x1.5555555555555p-3, -0x1.5555555555555p-57},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {-0x1.ae64567f544e4p-26, 0x1.c062e06d1f209p-80},
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},
    {-0x1.ae7f3e733b81fp-41, -0x1.1d8656b0ee8cbp-97},
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},
    {-0x1.2f49b46814157p-57, -0x1.2650f61dbdcb4p-112},
    {0x1.71b8ef6dcf572p-66, -0x1.d043ae40c4647p-120},
    {-0x1.761b41316381ap-75, 0x1.3423c7d91404fp-130},
    {0x1.3f3ccdd165fa9p-84, -0x1.58ddadf344487p-139},
    {-0x1.d1ab1c2dccea3p-94, -0x1.054d0c78aea14p-149},
};

constexpr DoubleDouble kCosineSeries[kTerms] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {-0x1.0000000000000p-1, 0x0.0p+0},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76},
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},
    {-0x1.93974a8c07c9dp-37, -0x1.05d6f8a2efd1fp-92},
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},
    {-0x1.6827863b97d97p-53, -0x1.eec01221a8b0bp-107},
    {0x1.e542ba4020225p-62, 0x1.ea72b4afe3c2fp-120},
    {-0x1.0ce396db7f853p-70, 0x1.aebcdbd20331cp-124},
    {0x1.f2cf01972f578p-80, -0x1.9ada5fcc1ab14p-135},
    {-0x1.88e85fc6a4e5ap-89, 0x1.71c37ebd16540p-143},
};

// sin r and cos r for |r| <= pi/4, rounded once from double-double.
double sineNear0(DoubleDouble r) {
    const DoubleDouble s = multiply(r, series(kSineSeries, multiply(r, r)));
    return s.hi + s.lo;
}

double cosineNear0(DoubleDouble r) {
    const DoubleDouble c = series(kCosineSeries, multiply(r, r));
    return c.hi + c.lo;
}

// sin of a finite x >= 0 moved by `quarterTurns` quarter turns: sin(x + q pi/2).
double sineShifted(double x, int quarterTurns) {
    const Reduced reduced = reduceNonNegative(x);
    switch ((reduced.quadrant + quarterTurns) & 3) {
    case 0: return sineNear0(reduced.r);
    case 1: return cosineNear0(reduced.r);
    case 2: return -sineNear0(reduced.r);
    default: return -cosineNear0(reduced.r);
    }
}

}  // namespace

double portableSin(double x) {
    if (!(x - x == 0)) return x - x;  // infinity or NaN: NaN
    const double magnitude = x < 0 ? -x : x;
    if (magnitude < kTiny) return x;  // keeps the sign of zero
    const double s = sineShifted(magnitude, 0);
    return x < 0 ? -s : s;
}

double portableCos(double x) {
    if (!(x - x == 0)) return x - x;
    const double magnitude = x < 0 ? -x : x;
    if (magnitude < kTiny) return 1;
    return sineShifted(magnitude, 1);
}
