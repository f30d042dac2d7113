#include "picture_cases.h"

#include <stb/stb_image_write.h>
#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace {

void putBigEndian(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void putChunk(Bytes& out, const std::string& type, const Bytes& body, uint32_t length) {
    putBigEndian(out, length);
    Bytes typed(type.begin(), type.end());
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    putBigEndian(out, uint32_t(crc32(0, typed.data(), uInt(typed.size()))));
}

void putChunk(Bytes& out, const std::string& type, const Bytes& body) {
    putChunk(out, type, body, uint32_t(body.size()));
}

const Bytes kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

Bytes pngWithData(uint32_t w, uint32_t h, uint8_t depth, uint8_t colour, uint8_t interlace,
                  const Bytes& zlibData, const std::vector<PngChunk>& before) {
    Bytes png = kSignature;
    Bytes ihdr;
    putBigEndian(ihdr, w);
    putBigEndian(ihdr, h);
    ihdr.insert(ihdr.end(), {depth, colour, 0, 0, interlace});
    putChunk(png, "IHDR", ihdr);
    for (const PngChunk& chunk : before) putChunk(png, chunk.type, chunk.body);
    putChunk(png, "IDAT", zlibData);
    putChunk(png, "IEND", {});
    return png;
}

Bytes deflated(const Bytes& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, raw.data(), uLong(raw.size()), 9) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

void appendTo(void* context, void* data, int size) {
    Bytes* out = static_cast<Bytes*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// The offset of the first marker code `code` after a 0xFF, or the end.
size_t findMarker(const Bytes& jpeg, uint8_t code) {
    for (size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i;
    throw std::runtime_error("marker not found");
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

}  // namespace

Bytes pngOf(uint32_t w, uint32_t h, uint8_t depth, uint8_t colour, uint8_t interlace,
            const Bytes& raw, const std::vector<PngChunk>& before) {
    return pngWithData(w, h, depth, colour, interlace, deflated(raw), before);
}

Bytes zlibOfZeros(uint64_t bytes) {
    constexpr size_t kStep = 1 << 20;
    const Bytes zeros(kStep, 0);
    z_stream z{};
    if (deflateInit(&z, 9) != Z_OK) throw std::runtime_error("deflateInit failed");
    Bytes out, block(kStep);
    // deflate(step, flush) -> the bytes it wrote.
    auto run = [&](size_t in, int flush) {
        z.next_in = const_cast<Bytef*>(zeros.data());
        z.avail_in = uInt(in);
        Bytes written;
        do {
            z.next_out = block.data();
            z.avail_out = uInt(block.size());
            deflate(&z, flush);
            written.insert(written.end(), block.data(),
                           block.data() + (block.size() - z.avail_out));
        } while (z.avail_out == 0);
        return written;
    };
    // After the first full step the window holds only zeros, so every later step of a
    // whole kStep compresses to the same block, which is repeated.
    uint64_t left = bytes;
    Bytes repeated;
    uint64_t steps = 0;
    while (left >= kStep) {
        if (steps < 3) {
            const Bytes written = run(kStep, Z_SYNC_FLUSH);
            if (steps == 2 && written != repeated)
                throw std::runtime_error("deflate blocks differ");
            if (steps >= 1) repeated = written;
            out.insert(out.end(), written.begin(), written.end());
        } else {
            out.insert(out.end(), repeated.begin(), repeated.end());
        }
        ++steps;
        left -= kStep;
    }
    // The rest and the end of the stream; the trailer's checksum is of no concern to a
    // decoder that is stopped before it, and is made right below for the others.
    const Bytes tail = run(size_t(left), Z_FINISH);
    out.insert(out.end(), tail.begin(), tail.end());
    deflateEnd(&z);
    if (steps > 3) {
        // Adler-32 of n zero bytes: the sum stays 1, the sum of sums is n.
        const uint32_t adler = uint32_t(bytes % 65521) << 16 | 1;
        for (int i = 0; i < 4; ++i)
            out[out.size() - 4 + size_t(i)] = uint8_t(adler >> (24 - 8 * i));
    }
    return out;
}

Bytes flatPng(uint32_t w, uint32_t h) {
    return pngWithData(w, h, 8, 6, 0, zlibOfZeros((uint64_t(w) * 4 + 1) * h), {});
}

Bytes smallJpeg(int w, int h) {
    Bytes rgb(size_t(w) * size_t(h) * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i % 3 == 2 ? 200 : 90 + i % 7);
    Bytes out;
    stbi_write_jpg_to_func(appendTo, &out, w, h, 3, rgb.data(), 90);
    return out;
}

std::vector<PictureCase> hostilePictureCases() {
    std::vector<PictureCase> cases;
    auto add = [&](const std::string& name, Bytes bytes, const std::string& reason) {
        cases.push_back({name, std::move(bytes), reason});
    };

    // Formats left out of the decoder build, refused by their content.
    Bytes pgm16 = text("P5\n64 64\n65535\n");
    pgm16.resize(pgm16.size() + 64 * 64 * 2, 0x7F);
    add("pgm-16-bit", pgm16, "unsupported picture format (PNM)");
    Bytes ppm16 = text("P6\n512 512\n65535\n");
    ppm16.resize(ppm16.size() + 512 * 512 * 6, 0x40);  // about 2 MB
    add("ppm-16-bit-2mb", ppm16, "unsupported picture format (PNM)");
    add("ppm-width-over-2^32", text("P6\n4294967360 1\n255\n\x01\x02\x03"),
        "unsupported picture format (PNM)");
    add("ppm-header-4096", text("P6\n4096 4096\n255\n"), "unsupported picture format (PNM)");
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x10, 0x00, 0x10, 32, 0};
    add("tga-header-4096", tga, "unsupported picture format (unknown image type)");
    Bytes psd = text("8BPS");
    psd.insert(psd.end(), {0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0x10, 0, 0, 0, 0x10, 0, 0, 8, 0, 3});
    add("psd-header-4096", psd, "unsupported picture format (PSD)");
    add("hdr-header-4096", text("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 4096 +X 4096\n"),
        "unsupported picture format (HDR)");
    Bytes bmpTopDown = text("BM");
    bmpTopDown.resize(54, 0);
    bmpTopDown[10] = 54;
    bmpTopDown[14] = 40;
    bmpTopDown[18] = 64;                                                             // width 64
    bmpTopDown[22] = 0xC0, bmpTopDown[23] = bmpTopDown[24] = bmpTopDown[25] = 0xFF;  // height -64
    bmpTopDown[26] = 1, bmpTopDown[28] = 24;
    bmpTopDown.resize(54 + 64 * 64 * 3, 0x55);
    add("bmp-top-down", bmpTopDown, "unsupported picture format (BMP)");
    Bytes bmpRle = bmpTopDown;
    bmpRle[22] = 64, bmpRle[23] = bmpRle[24] = bmpRle[25] = 0, bmpRle[28] = 8, bmpRle[30] = 1;
    add("bmp-rle8", bmpRle, "unsupported picture format (BMP)");
    add("gif", text("GIF89a\x01\x00\x01\x00\x00\x00\x00;"), "unsupported picture format (GIF)");

    // PNG headers that cannot be.
    const Bytes pixel = {0, 10, 20, 30, 255};
    add("png-width-0", pngOf(0, 64, 8, 6, 0, pixel), "corrupt PNG: its header gives 0x64 pixels");
    add("png-colour-type-5", pngOf(1, 1, 8, 5, 0, pixel), "corrupt PNG: unknown colour type 5");
    add("png-rgb-4-bit", pngOf(1, 1, 4, 2, 0, pixel),
        "corrupt PNG: RGB pictures cannot have 4-bit samples");
    add("png-interlace-2", pngOf(1, 1, 8, 6, 2, pixel), "corrupt PNG: unknown interlace method 2");
    add("png-30000", pngOf(30000, 30000, 8, 6, 0, pixel),
        "30000x30000 pixels would decode to more than 64 MiB");
    add("png-5000", pngOf(5000, 5000, 8, 6, 0, pixel),
        "5000x5000 pixels would decode to more than 64 MiB");
    add("png-width-2^32-1", pngOf(0xFFFFFFFFu, 1, 8, 6, 0, pixel),
        "4294967295x1 pixels would decode to more than 64 MiB");
    Bytes chunk2g = kSignature;
    {
        Bytes ihdr;
        putBigEndian(ihdr, 1);
        putBigEndian(ihdr, 1);
        ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
        putChunk(chunk2g, "IHDR", ihdr);
        putChunk(chunk2g, "IDAT", deflated(pixel), 0x80000000u);
    }
    // Found by fuzzing: a chunk claiming 1 GiB that the file does not hold made the
    // decoder reserve the gigabyte before finding the data missing.
    Bytes idatClaims = chunk2g;
    idatClaims[8 + 25] = 0x40, idatClaims[8 + 26] = 0, idatClaims[8 + 27] = 0,
                   idatClaims[8 + 28] = 0x14;
    add("png-idat-claims-1-gib", idatClaims, "truncated file (outofdata)");
    add("png-chunk-length-2^31", chunk2g,
        "corrupt PNG: chunk IDAT claims 2147483648 bytes, more than a PNG chunk may hold");
    Bytes truncated = pngOf(32, 32, 8, 6, 0, Bytes((32 * 4 + 1) * 32, 0));
    truncated.resize(truncated.size() - 20);
    add("png-truncated", truncated, "truncated file (outofdata)");

    // PNG data: more than the header implies, palette indices beyond the palette.
    add("png-1x1-inflating-to-1-gib",
        pngWithData(1, 1, 8, 6, 0, zlibOfZeros(uint64_t(1) << 30), {}),
        "corrupt PNG: its image data inflates to more than 4101 bytes where its 1x1 header implies "
        "5");
    add("png-64x64-inflating-to-64-mib",
        pngWithData(64, 64, 8, 6, 0, zlibOfZeros(uint64_t(64) << 20), {}),
        "corrupt PNG: its image data inflates to more than 20544 bytes where its 64x64 header "
        "implies 16448");
    Bytes indices;  // 4 x 4, 8-bit indices with the Paeth filter: raw 0..2, index 5 at (3, 3)
    for (int y = 0; y < 4; ++y) {
        indices.push_back(0);
        for (int x = 0; x < 4; ++x) indices.push_back(uint8_t(x == 3 && y == 3 ? 5 : (x + y) % 3));
    }
    const PngChunk palette3 = {"PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255}};
    add("png-palette-index-beyond", pngOf(4, 4, 8, 3, 0, indices, {palette3}),
        "corrupt PNG: palette index 5 beyond its palette of 3 colours");
    Bytes sub = {1, 2, 0, 0, 1};  // Sub filter: indices 2, 2, 2, 3 once unfiltered; 1-row picture
    add("png-palette-index-after-filter", pngOf(4, 1, 8, 3, 0, sub, {palette3}),
        "corrupt PNG: palette index 3 beyond its palette of 3 colours");
    // 4 x 2, 2-bit, interlaced: passes 1, 4, 6 and 7 (one row each); index 3 in the last.
    add("png-palette-2-bit-interlaced",
        pngOf(4, 2, 2, 3, 1, Bytes{0, 0x00, 0, 0x00, 0, 0x00, 0, 0xC0}, {palette3}),
        "corrupt PNG: palette index 3 beyond its palette of 3 colours");

    // JPEG: tables and frames the decoder cannot take.
    const Bytes jpeg = smallJpeg(16, 16);
    Bytes fill70(70, 0xFF);
    const Bytes overrun = {0xD8, 0xFF, 0xC4, 0x01, 0x01, 0x01, 0xFF, 0xE0};
    add("jpeg-70-fill-bytes-then-257-codes", concat(fill70, overrun),
        "corrupt JPEG: a Huffman table lists more than 256 codes");
    Bytes laterOverrun = jpeg;
    laterOverrun.insert(laterOverrun.begin() + 2, 70, 0xFF);
    const Bytes table257 = {0xFF, 0xC4, 0x00, 0x13, 0x10, 200, 57};
    laterOverrun.insert(laterOverrun.begin() + 72, table257.begin(), table257.end());
    add("jpeg-fill-bytes-before-dht", laterOverrun,
        "corrupt JPEG: a Huffman table lists more than 256 codes");
    Bytes undefinedTable = jpeg;
    undefinedTable[findMarker(undefinedTable, 0xDA) + 6] = 0x23;  // first component: DC 2, AC 3
    add("jpeg-undefined-huffman-table", undefinedTable,
        "corrupt JPEG: a scan uses DC Huffman table 2, which is not defined");
    Bytes twelveBit = jpeg;
    twelveBit[findMarker(twelveBit, 0xC0) + 4] = 12;
    add("jpeg-12-bit", twelveBit, "unsupported picture format (12-bit JPEG)");
    Bytes arithmetic = jpeg;
    arithmetic[findMarker(arithmetic, 0xC0) + 1] = 0xC9;
    add("jpeg-arithmetic", arithmetic, "unsupported picture format (arithmetic-coded JPEG)");
    Bytes lossless = jpeg;
    lossless[findMarker(lossless, 0xC0) + 1] = 0xC3;
    add("jpeg-lossless", lossless, "unsupported picture format (lossless JPEG)");
    Bytes huge = jpeg;
    const size_t frame = findMarker(huge, 0xC0);
    huge[frame + 5] = huge[frame + 6] = huge[frame + 7] = huge[frame + 8] = 0xFF;
    add("jpeg-65535x65535", huge, "65535x65535 pixels would decode to more than 64 MiB");
    Bytes heightLater = jpeg;
    heightLater[frame + 5] = heightLater[frame + 6] = 0;
    add("jpeg-height-0", heightLater,
        "unsupported picture format (JPEG whose height follows its image data)");

    // Controls that load: the cases above are refusals of what is wrong, not of the formats.
    Bytes palette2Bit;  // 4 x 2, 2-bit indices 0 1 2 0 / 2 1 0 1
    palette2Bit = {0, 0x18, 0, 0x91};
    add("control-png-palette-2-bit", pngOf(4, 2, 2, 3, 0, palette2Bit, {palette3}), "");
    // 4 x 4, interlaced: passes 1 (1 x 1), 4 (1 x 1), 5 (2 x 1), 6 (2 x 2) and 7 (4 x 2).
    const Bytes passes = {0, 1, 0, 2, 0, 0, 1, 0, 1, 2, 0, 2, 0, 0, 0, 1, 2, 1, 0, 2, 1, 0, 0};
    add("control-png-palette-interlaced", pngOf(4, 4, 8, 3, 1, passes, {palette3}), "");
    Bytes sixteen;  // 2 x 1 grey, 16-bit
    sixteen = {0, 0x12, 0x34, 0xFF, 0xFF};
    add("control-png-16-bit", pngOf(2, 1, 16, 0, 0, sixteen), "");
    Bytes fillBeforeMarkers = jpeg;
    fillBeforeMarkers.insert(fillBeforeMarkers.begin() + 2, 70, 0xFF);
    add("control-jpeg-70-fill-bytes", fillBeforeMarkers, "");
    add("control-png-flat-256", flatPng(256, 256), "");
    return cases;
}

bool hostilePictureCase(const std::string& name, PictureCase& out) {
    if (name == "png-flat-4096") {
        out = {name, flatPng(4096, 4096), ""};
        return true;
    }
    for (PictureCase& c : hostilePictureCases()) {
        if (c.name == name) {
            out = std::move(c);
            return true;
        }
    }
    return false;
}
