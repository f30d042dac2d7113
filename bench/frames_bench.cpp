// Whole-frame drawing costs: chosen moments, the warp alone, the slowest frame of the
// show and the whole show at 60 frames per second.
#include "assets/image_slots.h"
#include "demo/effects.h"
#include "demo/frame_canvas.h"
#include "demo/timeline.h"
#include "gfx/argb_gfx.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// Sprite-like picture: an opaque, textured disc on a transparent ground.
void fillPicture(ArgbGfx& slot, int32_t size, uint32_t seed) {
    slot.allocate(size, size);
    const int32_t centre = size / 2;
    for (int32_t y = 0; y < size; ++y)
        for (int32_t x = 0; x < size; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const bool inside =
                (x - centre) * (x - centre) + (y - centre) * (y - centre) < centre * centre;
            slot.pixels[y * size + x] = (inside ? 0xFF000000u : 0u) | (seed >> 8 & 0xFFFFFFu);
        }
}

void fillSlots() {
    static bool filled = false;
    if (filled) return;
    filled = true;
    uint32_t seed = 1;
    for (ArgbGfx* slot :
         {&imgBarf, &imgLonestar, &imgDarkHelmet, &imgDarkHelmetNoMask, &imgLowrezQr})
        fillPicture(*slot, 64, seed++);
    for (ArgbGfx& frame : animFrames) fillPicture(frame, 64, seed++);
    fillPicture(imgGlasses, 128, seed++);
    fillPicture(imgRasberry, 24, seed++);
}

// One frame as the renderer makes it: fresh cleared canvas with colour 0, then the scene.
void drawWholeFrame(const FrameTime& time) {
    ArgbGfx canvas;
    drawFreshFrame(canvas, time);
    benchmark::DoNotOptimize(canvas.pixels);
    benchmark::ClobberMemory();
}

void frameAtBeat(benchmark::State& state, double beat) {
    fillSlots();
    const FrameTime time = frameTimeAtBeat(beat);
    for (auto _ : state) drawWholeFrame(time);
}

void warpAlone(benchmark::State& state, double t) {
    ArgbGfx canvas;
    canvas.allocate(64, 64);
    for (auto _ : state) {
        canvas.color = 0;
        canvas.clear();
        warpEffect(canvas, t);
        benchmark::DoNotOptimize(canvas.pixels);
        benchmark::ClobberMemory();
    }
}

// Scans beats 0 to 335 in steps of 0.05; each beat is timed three times and its
// fastest run counts, so a stray interruption does not pick the slowest beat.
void slowestFrame(benchmark::State& state) {
    fillSlots();
    using Clock = std::chrono::steady_clock;
    constexpr int kSteps = 6700;
    constexpr int kRuns = 3;
    double slowestBeat = 0, slowestSeconds = 0;
    for (auto _ : state) {
        slowestBeat = slowestSeconds = 0;
        for (int k = 0; k <= kSteps; ++k) {
            const double beat = k * 0.05;
            const FrameTime time = frameTimeAtBeat(beat);
            double best = 1e9;
            for (int run = 0; run < kRuns; ++run) {
                const Clock::time_point start = Clock::now();
                drawWholeFrame(time);
                const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                if (seconds < best) best = seconds;
            }
            if (best > slowestSeconds) {
                slowestSeconds = best;
                slowestBeat = beat;
            }
        }
    }
    state.counters["slowest_beat"] = slowestBeat;
    state.counters["slowest_us"] = slowestSeconds * 1e6;
    state.counters["target_us"] = 50;
}

// Every frame of the show at 60 frames per second, up to the last change at 128.8 s.
void wholeShowAt60Fps(benchmark::State& state) {
    fillSlots();
    constexpr int kLastFrame = 7728;  // 128.8 s * 60
    for (auto _ : state)
        for (int k = 0; k <= kLastFrame; ++k) drawWholeFrame(frameTimeAtSeconds(k / 60.0));
    state.counters["frames"] = kLastFrame + 1;
    state.counters["target_s"] = 0.5;
}

std::string named(const char* prefix, double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%s%g", prefix, value);
    return text;
}

int registerAll() {
    for (double beat : {20.0, 50.0, 101.0, 190.0, 215.0, 239.9, 262.0, 276.5, 330.0})
        benchmark::RegisterBenchmark(named("frame/beat:", beat).c_str(), frameAtBeat, beat)
            ->Unit(benchmark::kMicrosecond);
    for (double t : {12.0, 37.0, 62.0, -42.0, -22.0})
        benchmark::RegisterBenchmark(named("warpEffect/t:", t).c_str(), warpAlone, t)
            ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("show/slowest_frame", slowestFrame)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("show/every_frame_at_60fps", wholeShowAt60Fps)
        ->Unit(benchmark::kMillisecond);
    return 0;
}

const int registered = registerAll();

}  // namespace
