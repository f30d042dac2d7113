// Writes the starting corpus of every fuzz target, made here and the same on every run:
//   make_seeds OUTDIR   OUTDIR/options, OUTDIR/image, OUTDIR/mp3, OUTDIR/mp3-gaps and
//                       OUTDIR/frame
#include "audio_mp3_maker.h"
#include "picture_cases.h"

#include <stb/stb_image_write.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

bool failed = false;

void save(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    if (!writeTestFile((dir / name).string(), bytes)) {
        std::fprintf(stderr, "make_seeds: cannot write %s\n", (dir / name).c_str());
        failed = true;
    }
}

void saveText(const fs::path& dir, const std::string& name, const std::string& text) {
    save(dir, name, Bytes(text.begin(), text.end()));
}

void appendTo(void* context, void* data, int size) {
    Bytes* out = static_cast<Bytes*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// w x h pixels of comp channels, a gradient with alpha on both sides of 0x80.
Bytes pixels(int w, int h, int comp) {
    Bytes p(size_t(w) * size_t(h) * size_t(comp));
    for (size_t i = 0; i < p.size(); ++i) p[i] = uint8_t(i * 37 + i / size_t(comp) * 11);
    return p;
}

Bytes png(int w, int h, int comp) {
    Bytes out;
    const Bytes p = pixels(w, h, comp);
    stbi_write_png_to_func(appendTo, &out, w, h, comp, p.data(), w * comp);
    return out;
}

uint32_t crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBe32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// A PNG whose header claims w x h 8-bit RGBA pixels, with a tiny image data chunk.
Bytes pngClaiming(uint32_t w, uint32_t h) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&out](const char* type, const Bytes& body) {
        putBe32(out, uint32_t(body.size()));
        const size_t start = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), body.begin(), body.end());
        putBe32(out, crc32(out.data() + start, out.size() - start));
    };
    Bytes ihdr;
    putBe32(ihdr, w);
    putBe32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    chunk("IHDR", ihdr);
    chunk("IDAT", {0x78, 0x9C, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01});
    chunk("IEND", {});
    return out;
}

void optionSeeds(const fs::path& dir) {
    saveText(dir, "plain", "intro");
    saveText(dir, "all-options", "./intro -f1 -w640 -h360 -x10 -y20");
    saveText(dir, "spaced-path", "/opt/my dir/intro -w 640 -h\t360 -f 0");
    saveText(dir, "extremes", "intro -x-100 -w99999999999999999999 -y-2147483649 -h+12");
    saveText(dir, "glued", "intro -w-h5 -q5 junk -f-1 -");
}

void imageSeeds(const fs::path& dir) {
    save(dir, "rgba-16x16.png", png(16, 16, 4));
    save(dir, "rgb-8x8.png", png(8, 8, 3));
    save(dir, "grey-4x4.png", png(4, 4, 1));
    save(dir, "grey-alpha-4x4.png", png(4, 4, 2));
    save(dir, "rgba-1x1.png", png(1, 1, 4));
    save(dir, "claims-5000x5000.png", pngClaiming(5000, 5000));
    save(dir, "claims-4096x4096.png", pngClaiming(4096, 4096));
    // The decoder recognises formats by content, whatever the name.
    const Bytes p = pixels(8, 8, 3);
    Bytes jpg, bmp, tga;
    stbi_write_jpg_to_func(appendTo, &jpg, 8, 8, 3, p.data(), 90);
    stbi_write_bmp_to_func(appendTo, &bmp, 8, 8, 3, p.data());
    stbi_write_tga_to_func(appendTo, &tga, 8, 8, 3, p.data());
    save(dir, "jpeg-8x8.png", jpg);
    save(dir, "bmp-8x8.png", bmp);
    save(dir, "tga-8x8.png", tga);
    // The hostile cases the loader refuses by name, small enough for the fuzzer's inputs.
    for (const PictureCase& c : hostilePictureCases())
        if (c.bytes.size() <= 16384) save(dir, "case-" + c.name, c.bytes);
}

// Gap seeds: a position byte, then the gap (see fuzz_mp3_gaps.cpp).
void mp3GapSeeds(const fs::path& dir) {
    save(dir, "zeros-4k", [] {
        Bytes b(1 + 4096, 0);
        b[0] = 3;
        return b;
    }());
    save(dir, "zeros-before-first", Bytes(1 + 1000, 0));
    Bytes junk(1 + 8192);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = uint8_t(i * 2654435761u >> 13);
    junk[0] = 5;
    save(dir, "junk-8k", junk);
    // A lone frame header and a broken one inside the gap.
    save(dir, "false-header", Bytes{7, 0, 0, 0xFF, 0xFB, 0x90, 0x64, 0, 0, 0xFF, 0xFB, 0xF0});
}

void mp3Seeds(const fs::path& dir) {
    TestTone tone;
    tone.seconds = 0.1;
    tone.clickAt = 0.05;
    const Bytes stereo = makeMp3(tone);
    save(dir, "stereo-44100.mp3", stereo);
    tone.rate = 48000;
    tone.channels = 1;
    save(dir, "mono-48000.mp3", makeMp3(tone));
    tone.rate = 22050;
    tone.channels = 2;
    save(dir, "stereo-22050.mp3", makeMp3(tone));
    // An ID3v2.3 tag of 10 bytes of padding in front of the first frame.
    Bytes tagged = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10};
    tagged.insert(tagged.end(), 10, 0);
    tagged.insert(tagged.end(), stereo.begin(), stereo.end());
    save(dir, "id3-tagged.mp3", tagged);
    save(dir, "truncated.mp3", Bytes(stereo.begin(), stereo.begin() + long(stereo.size() / 3)));
}

// Time kind 0 picks beat -16 + n / 1024 for n = the value's bits; every slot then reads
// as kind 0, the size the show expects.
Bytes frameAtBeat(double beat, uint8_t canvasKind) {
    const uint64_t n = uint64_t((beat + 16.0) * 1024.0);
    Bytes out = {0};
    for (int i = 0; i < 8; ++i) out.push_back(uint8_t(n >> (8 * i)));
    out.push_back(canvasKind);
    return out;
}

void frameSeeds(const fs::path& dir) {
    const double beats[] = {0, 12.5, 20, 36.5, 61.5, 85.5, 101, 141.5, 222, 250, 263.5, 300, 335};
    for (double beat : beats) {
        char name[32];
        std::snprintf(name, sizeof name, "beat-%g", beat);
        save(dir, name, frameAtBeat(beat, 0));
    }
    // The floor zoom with a 100 x 100 glasses picture: slot 3 of kind 2.
    Bytes small = frameAtBeat(20, 1);
    small.insert(small.end(), {0, 0, 0, 0, 2, 100, 0, 100, 0, 7});
    save(dir, "small-glasses", small);
    // The helmet backdrop from a 70 x 50 buffer showing 30 x 40.
    Bytes view = frameAtBeat(36.5, 0);
    view.insert(view.end(), {0, 0, 0, 0, 0, 0, 3, 70, 0, 50, 0, 30, 0, 40, 0, 9});
    save(dir, "helmet-view", view);
    // NaN: time kind 3, entry 0.
    save(dir, "nan", Bytes{3, 0, 0, 0, 0, 0, 0, 0, 0, 1});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds OUTDIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    const char* targets[] = {"options", "image", "mp3", "mp3-gaps", "frame"};
    for (const char* t : targets) {
        std::error_code error;
        fs::create_directories(out / t, error);
        if (error) {
            std::fprintf(stderr, "make_seeds: cannot create %s: %s\n", (out / t).c_str(),
                         error.message().c_str());
            return 1;
        }
    }
    optionSeeds(out / "options");
    imageSeeds(out / "image");
    mp3Seeds(out / "mp3");
    mp3GapSeeds(out / "mp3-gaps");
    frameSeeds(out / "frame");
    return failed ? 1 : 0;
}
