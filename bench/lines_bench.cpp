// The fast line walk against the literal one on the warp's largest spoke stars (t = 62:
// 24 spokes of 14,112 pixels, nearly all outside the canvas), timed in the same run.
#include "gfx/argb_gfx.h"
#include "gfx/lines.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace {

struct Spoke {
    float x1, y1;
};

// The two twelve-spoke stars of the warp at t = 62: s = 15.5, e = 10.5, g = 4 e^2.
void spokesAt62(Spoke (&spokes)[24]) {
    const double e = 15.5 - 5, g = 4 * (e * e);
    for (int j = 0; j < 24; ++j) {
        const double theta = (j % 12) * 3.14159 * 2 / 12 + (j < 12 ? 0 : 0.1);
        spokes[j] = {float(32 + 32 * g * std::sin(theta)), float(32 + 32 * g * std::cos(theta))};
    }
}

template <bool kFast>
void drawSpokes(ArgbGfx& canvas, const Spoke (&spokes)[24]) {
    canvas.clear();
    canvas.color = 0x2080F0;
    for (const Spoke& s : spokes) {
        if (kFast)
            canvas.lineSmooth(32, 32, s.x1, s.y1);
        else
            lineSmoothLiteral(canvas, 32, 32, s.x1, s.y1);
    }
    benchmark::DoNotOptimize(canvas.pixels);
    benchmark::ClobberMemory();
}

template <bool kFast>
void spokesBench(benchmark::State& state) {
    Spoke spokes[24];
    spokesAt62(spokes);
    ArgbGfx canvas;
    canvas.allocate(64, 64);
    for (auto _ : state) drawSpokes<kFast>(canvas, spokes);
}

// Both walks alternately in one run, best of each, so the ratio shares the machine's state.
void spokesRatio(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    Spoke spokes[24];
    spokesAt62(spokes);
    ArgbGfx canvas;
    canvas.allocate(64, 64);
    double bestFast = 1e9, bestLiteral = 1e9;
    for (auto _ : state) {
        for (int run = 0; run < 20; ++run) {
            Clock::time_point start = Clock::now();
            drawSpokes<true>(canvas, spokes);
            bestFast =
                std::min(bestFast, std::chrono::duration<double>(Clock::now() - start).count());
            start = Clock::now();
            drawSpokes<false>(canvas, spokes);
            bestLiteral =
                std::min(bestLiteral, std::chrono::duration<double>(Clock::now() - start).count());
        }
    }
    state.counters["fast_us"] = bestFast * 1e6;
    state.counters["literal_us"] = bestLiteral * 1e6;
    state.counters["literal_over_fast"] = bestLiteral / bestFast;
}

BENCHMARK(spokesBench<true>)->Name("spokes_t62/fast")->Unit(benchmark::kMicrosecond);
BENCHMARK(spokesBench<false>)->Name("spokes_t62/literal")->Unit(benchmark::kMicrosecond);
BENCHMARK(spokesRatio)->Name("spokes_t62/ratio")->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
