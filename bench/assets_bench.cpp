#include "assets/data_pack_manifest.h"
#include "assets/data_pack.h"
#include "assets/image_loader.h"
#include "assets/image_slots.h"

#include <stb/stb_image_write.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Sprite-like content: a noisy opaque disc on a transparent ground, so the PNGs compress
// and decode like real pictures rather than flat fills.
void writeSprite(const std::string& path, int size, uint32_t seed) {
    std::vector<uint8_t> rgba;
    rgba.reserve(size_t(size) * size_t(size) * 4);
    const int centre = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const bool inside =
                (x - centre) * (x - centre) + (y - centre) * (y - centre) < centre * centre;
            rgba.insert(rgba.end(), {uint8_t(x * 4), uint8_t(y * 4), uint8_t(seed >> 24),
                                     uint8_t(inside ? 255 : 0)});
        }
    if (!stbi_write_png(path.c_str(), size, size, 4, rgba.data(), size * 4)) {
        std::fprintf(stderr, "bench-assets: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// The 42 pictures of a data pack: the floor's 128 x 128, every other picture 64 x 64.
std::string makeDataPack() {
    std::string dir = (std::filesystem::temp_directory_path() / "assets-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) std::exit(1);
    dir += "/";
    std::filesystem::create_directory(dir + kAnimFrameFolder);
    uint32_t seed = 1;
    for (const PackPicture& picture : packPictures())
        writeSprite(dir + picture.fileName, picture.size == PictureSize::AtLeast128 ? 128 : 64,
                    seed++);
    return dir;
}

// One full start-up load of all 42 slots (each load also releases the previous picture).
void BM_LoadDataPack(benchmark::State& state) {
    const std::string dir = makeDataPack();
    for (auto _ : state) {
        loadImagesFrom(dir.c_str());
        benchmark::DoNotOptimize(imgLowrezQr.pixels);
    }
    if (imgGlasses.width != 128 || animFrames[kAnimFrameCount - 1].width != 64)
        state.SkipWithError("data pack did not load");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadDataPack)->Unit(benchmark::kMillisecond);

// The default data pack as the intro finds it: kDataFolder from the build folder, or the
// folder named by INTRO_BENCH_DATA.
void BM_LoadDefaultDataPack(benchmark::State& state) {
    const char* dir = std::getenv("INTRO_BENCH_DATA");
    if (!dir) dir = kDataFolder;
    for (auto _ : state) {
        loadImagesFrom(dir);
        benchmark::DoNotOptimize(imgLowrezQr.pixels);
    }
    if (!imgGlasses.pixels || !animFrames[kAnimFrameCount - 1].pixels)
        state.SkipWithError("no default data pack there; run make-data first");
}
BENCHMARK(BM_LoadDefaultDataPack)->Unit(benchmark::kMillisecond);

}  // namespace
