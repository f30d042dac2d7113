#!/usr/bin/env python3
"""Prints the constants of src/gfx/portable_trig.cpp, from the mathematics alone:
pi by Machin's formula pi/4 = 4 arctan(1/5) - arctan(1/239) in integer arithmetic, then
the bits of 2/pi, pi/2 as a double-double, and the series coefficients (-1)^n/(2n+1)! and
(-1)^n/(2n)! as the nearest double plus the nearest double to what is left.
usage: tools/trig-tables.py"""
import math
import sys
from fractions import Fraction

if len(sys.argv) > 1:
    print(__doc__.split("usage: ")[1] if sys.argv[1] in ("-h", "--help") else __doc__)
    sys.exit(0 if sys.argv[1] in ("-h", "--help") else 2)

PI_BITS = 1664  # 384 guard bits beyond the 1,280 bits of 2/pi printed
TWO_OVER_PI_BITS = 1280
TERMS = 14


def arctan_of_inverse(n):
    """arctan(1/n) x 2^PI_BITS, truncated term by term."""
    term, total, k, sign = (1 << PI_BITS) // n, 0, 1, 1
    while term:
        total += sign * (term // k)
        term //= n * n
        k += 2
        sign = -sign
    return total


pi_fixed = 4 * (4 * arctan_of_inverse(5) - arctan_of_inverse(239))
two_over_pi = (2 << (PI_BITS + TWO_OVER_PI_BITS)) // pi_fixed
words = [(two_over_pi >> (TWO_OVER_PI_BITS - 32 * (i + 1))) & 0xFFFFFFFF
         for i in range(TWO_OVER_PI_BITS // 32)]
print("kTwoOverPi:", ", ".join("0x%08X" % w for w in words))


def double_double(q):
    hi = float(q)
    return hi, float(q - Fraction(hi))


def show(q):
    return "{%s, %s}" % tuple(x.hex() for x in double_double(q))


half_pi = Fraction(pi_fixed, 2 << PI_BITS)
print("kHalfPi:", show(half_pi))


def leading_bits(q, bits):
    """q truncated to its leading `bits` significant bits, q > 0."""
    exponent = math.floor(math.log2(q)) - bits + 1
    return Fraction(math.floor(q / Fraction(2) ** exponent)) * Fraction(2) ** exponent


# pi/2 in three parts for arguments below 2^20: the first two of 33 bits, so that their
# products with a multiple k < 2^20 are exact.
first = leading_bits(half_pi, 33)
second = leading_bits(half_pi - first, 33)
third = float(half_pi - first - second)
print("kHalfPiParts:", ", ".join(float(x).hex() for x in (first, second, third)))
for name, first in (("kSineSeries", 1), ("kCosineSeries", 0)):
    print(name + ":")
    for n in range(TERMS):
        print("   ", show(Fraction((-1) ** n, math.factorial(2 * n + first))) + ",")
