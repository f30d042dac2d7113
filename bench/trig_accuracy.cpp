// Measures the show's own sine and cosine against the true value (113-bit quad
// precision) and against the C library's, over N arguments (default 10^7): most in the
// show's own range, the rest spread over the whole double range. Prints the largest
// error in ulps, how often each differs from the nearest double, and the time per call.
// usage: bench-trig [N]
#include "gfx/portable_trig.h"

#include <quadmath.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// 6 in 10 in the show's range (|x| < 2^17), 2 small to large (2^-40 to 2^40), 2 raw bit
// patterns of finite doubles.
double argumentNumber(std::mt19937_64& random, int64_t i) {
    const int kind = int(i % 10);
    if (kind < 6) return std::uniform_real_distribution<double>(-131072, 131072)(random);
    if (kind < 8)
        return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random),
                          int(random() % 80) - 40);
    const uint64_t bits = random() & ~(uint64_t(1) << 62);
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// |value - truth| in ulps of the true value.
double ulpsOff(double value, __float128 truth) {
    const double nearest = double(truth);
    const double ulp = std::nextafter(std::fabs(nearest), INFINITY) - std::fabs(nearest);
    return double(fabsq(__float128(value) - truth) / __float128(ulp));
}

struct Tally {
    double worstUlps = 0, worstAt = 0;
    int64_t notNearest = 0;
    void add(double value, __float128 truth, double x) {
        const double off = ulpsOff(value, truth);
        if (off > worstUlps) worstUlps = off, worstAt = x;
        if (value != double(truth)) ++notNearest;
    }
};

template <typename F>
double nanosecondsPerCall(const std::vector<double>& xs, F f) {
    volatile double sink = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const double x : xs) sink = sink + f(x);
    const auto ns =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start);
    return ns.count() / double(xs.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
        std::puts("usage: bench-trig [N]   (N arguments, default 10000000)");
        return 0;
    }
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 10000000;
    if (n <= 0) {
        std::fprintf(stderr, "bench-trig: N must be a positive number of arguments\n");
        return 2;
    }
    std::mt19937_64 random(1);
    Tally ours, library;
    int64_t differ = 0;
    for (int64_t i = 0; i < n; ++i) {
        const double x = argumentNumber(random, i);
        for (const bool cosine : {false, true}) {
            const __float128 truth = cosine ? cosq(__float128(x)) : sinq(__float128(x));
            const double mine = cosine ? portableCos(x) : portableSin(x);
            const double theirs = cosine ? std::cos(x) : std::sin(x);
            ours.add(mine, truth, x);
            library.add(theirs, truth, x);
            if (mine != theirs) ++differ;
        }
        if ((i + 1) % (n / 10 > 0 ? n / 10 : 1) == 0)
            std::fprintf(stderr, "bench-trig: %lld of %lld arguments\n", (long long)(i + 1),
                         (long long)n);
    }
    const int64_t calls = 2 * n;
    std::printf("%lld calls (sin and cos of %lld arguments)\n", (long long)calls, (long long)n);
    std::printf("ours:    largest error %.4f ulp (at %a), not the nearest double %lld times\n",
                ours.worstUlps, ours.worstAt, (long long)ours.notNearest);
    std::printf("C library: largest error %.4f ulp (at %a), not the nearest double %lld times\n",
                library.worstUlps, library.worstAt, (long long)library.notNearest);
    std::printf("results that differ: %lld of %lld (%.4f %%)\n", (long long)differ,
                (long long)calls, 100.0 * double(differ) / double(calls));

    std::vector<double> showRange(1000000);
    for (double& x : showRange) x = std::uniform_real_distribution<double>(-131072, 131072)(random);
    std::printf("time per sin call in the show's range: ours %.1f ns, C library %.1f ns\n",
                nanosecondsPerCall(showRange, portableSin),
                nanosecondsPerCall(showRange, [](double x) { return std::sin(x); }));
    return ours.worstUlps <= 1 ? 0 : 1;
}
