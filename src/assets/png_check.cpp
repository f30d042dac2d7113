#include "assets/image_loader.h"
#include "assets/picture_check.h"

#include "assets/picture_decoder.h"

#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr size_t kSignatureBytes = 8;
constexpr uint32_t kMaxChunkBytes = 0x7FFFFFFFu;  // the largest chunk a PNG may hold
// Inflated bytes accepted beyond what the header implies: some encoders pad the image
// data, and the decoder ignores the excess.
constexpr uint64_t kInflateSlackBytes = 4096;

uint32_t bigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

constexpr uint32_t chunkType(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) << 24 | uint32_t(uint8_t(b)) << 16 | uint32_t(uint8_t(c)) << 8 |
           uint8_t(d);
}

std::string typeName(uint32_t type) {
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char(type >> shift);
        name += (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? c : '?';
    }
    return name;
}

// Everything the walk learns: the header's fields and where the image data lies.
struct PngLayout {
    bool haveHeader = false;
    uint32_t width = 0, height = 0;
    unsigned depth = 0, colour = 0, interlace = 0;
    size_t paletteEntries = 0;
    bool rawDeflate = false;  // a CgBI chunk: the data has no zlib header
    struct Span {
        size_t offset, length;
    };
    std::vector<Span> imageData;
};

unsigned channelsOf(unsigned colour) {
    switch (colour) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    case 6: return 4;
    default: return 0;
    }
}

const char* colourName(unsigned colour) {
    switch (colour) {
    case 0: return "grey";
    case 2: return "RGB";
    case 3: return "palette";
    case 4: return "grey+alpha";
    default: return "RGBA";
    }
}

std::string headerProblem(const uint8_t* body, PngLayout& png) {
    png.width = bigEndian32(body);
    png.height = bigEndian32(body + 4);
    png.depth = body[8];
    png.colour = body[9];
    png.interlace = body[12];
    if (png.width == 0 || png.height == 0)
        return "corrupt PNG: its header gives " + std::to_string(png.width) + "x" +
               std::to_string(png.height) + " pixels";
    if (channelsOf(png.colour) == 0)
        return "corrupt PNG: unknown colour type " + std::to_string(png.colour);
    const unsigned d = png.depth;
    const bool depthFits = png.colour == 0   ? (d == 1 || d == 2 || d == 4 || d == 8 || d == 16)
                           : png.colour == 3 ? (d == 1 || d == 2 || d == 4 || d == 8)
                                             : (d == 8 || d == 16);
    if (!depthFits)
        return "corrupt PNG: " + std::string(colourName(png.colour)) + " pictures cannot have " +
               std::to_string(d) + "-bit samples";
    if (body[10] != 0) return "corrupt PNG: unknown compression method " + std::to_string(body[10]);
    if (body[11] != 0) return "corrupt PNG: unknown filter method " + std::to_string(body[11]);
    if (png.interlace > 1)
        return "corrupt PNG: unknown interlace method " + std::to_string(png.interlace);
    png.haveHeader = true;
    return "";
}

// Walks the chunks up to IEND or the end of the file; a chunk cut off by the end of the
// file is refused as the decoder would refuse it, before it reserves the claimed length.
std::string walkChunks(const uint8_t* data, size_t size, PngLayout& png) {
    size_t at = kSignatureBytes;
    bool first = true;
    while (size - at >= 8) {
        const uint32_t length = bigEndian32(data + at);
        const uint32_t type = bigEndian32(data + at + 4);
        if (length > kMaxChunkBytes)
            return "corrupt PNG: chunk " + typeName(type) + " claims " + std::to_string(length) +
                   " bytes, more than a PNG chunk may hold";
        const size_t body = at + 8;
        // The decoder would reserve the whole claimed length before finding the data
        // missing ("outofdata"): a few bytes could make it ask for 2 GiB.
        if (length > size - body) return "truncated file (outofdata)";
        if (type == chunkType('C', 'g', 'B', 'I')) {
            png.rawDeflate = true;
        } else if (first) {
            if (type != chunkType('I', 'H', 'D', 'R') || length != 13)
                return "corrupt PNG: it does not start with a 13-byte IHDR chunk";
            const std::string problem = headerProblem(data + body, png);
            if (!problem.empty()) return problem;
            first = false;
        } else if (type == chunkType('P', 'L', 'T', 'E')) {
            png.paletteEntries = length % 3 == 0 && length <= 768 ? length / 3 : 0;
        } else if (type == chunkType('I', 'D', 'A', 'T')) {
            png.imageData.push_back({body, length});
        } else if (type == chunkType('I', 'E', 'N', 'D')) {
            break;
        }
        at = body + length;
        if (size - at < 4) break;
        at += 4;  // the CRC, which the decoder does not check either
    }
    if (!png.haveHeader) return "truncated file (no IHDR chunk)";
    return "";
}

// Bytes per row (without the filter byte) of a width-pixel row.
uint64_t rowBytes(const PngLayout& png, uint32_t width) {
    return (uint64_t(width) * channelsOf(png.colour) * png.depth + 7) / 8;
}

// The passes of the picture as (width, height), empty ones left out.
std::vector<std::pair<uint32_t, uint32_t>> passesOf(const PngLayout& png) {
    if (!png.interlace) return {{png.width, png.height}};
    static const int x0[7] = {0, 4, 0, 2, 0, 1, 0}, y0[7] = {0, 0, 4, 0, 2, 0, 1};
    static const int dx[7] = {8, 8, 4, 4, 2, 2, 1}, dy[7] = {8, 8, 8, 4, 4, 2, 2};
    std::vector<std::pair<uint32_t, uint32_t>> passes;
    for (int p = 0; p < 7; ++p) {
        const uint64_t w = (uint64_t(png.width) + dx[p] - 1 - x0[p]) / dx[p];
        const uint64_t h = (uint64_t(png.height) + dy[p] - 1 - y0[p]) / dy[p];
        if (w && h) passes.push_back({uint32_t(w), uint32_t(h)});
    }
    return passes;
}

uint64_t impliedBytes(const PngLayout& png) {
    uint64_t total = 0;
    for (const auto& pass : passesOf(png)) total += (rowBytes(png, pass.first) + 1) * pass.second;
    return total;
}

// Undoes the row filters of a palette picture as its data streams in and checks every
// index against the palette. Filter bytes the decoder refuses end the checking.
class PaletteIndexCheck {
public:
    explicit PaletteIndexCheck(const PngLayout& png) : png_(png), passes_(passesOf(png)) {
        startPass();
    }

    std::string feed(const uint8_t* data, size_t size) {
        for (size_t i = 0; i < size && pass_ < passes_.size(); ++i) {
            if (filled_ == 0) {
                filter_ = data[i];
                if (filter_ > 4) pass_ = passes_.size();  // the decoder says "invalid filter"
            } else {
                row_[filled_ - 1] = data[i];
            }
            if (++filled_ == row_.size() + 1) {
                const std::string problem = finishRow();
                if (!problem.empty()) return problem;
            }
        }
        return "";
    }

private:
    void startPass() {
        if (pass_ >= passes_.size()) return;
        const size_t bytes = size_t(rowBytes(png_, passes_[pass_].first));
        row_.assign(bytes, 0);
        prior_.assign(bytes, 0);
        rowsDone_ = 0;
        filled_ = 0;
    }

    static uint8_t paeth(int a, int b, int c) {
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
    }

    std::string finishRow() {
        for (size_t x = 0; x < row_.size(); ++x) {
            const int left = x ? row_[x - 1] : 0, up = prior_[x], upLeft = x ? prior_[x - 1] : 0;
            switch (filter_) {
            case 1: row_[x] = uint8_t(row_[x] + left); break;
            case 2: row_[x] = uint8_t(row_[x] + up); break;
            case 3: row_[x] = uint8_t(row_[x] + (left + up) / 2); break;
            case 4: row_[x] = uint8_t(row_[x] + paeth(left, up, upLeft)); break;
            default: break;
            }
        }
        const uint32_t width = passes_[pass_].first;
        const unsigned perByte = 8 / png_.depth, mask = (1u << png_.depth) - 1;
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned shift = 8 - png_.depth * (x % perByte + 1);
            const unsigned index = (row_[x / perByte] >> shift) & mask;
            if (index >= png_.paletteEntries)
                return "corrupt PNG: palette index " + std::to_string(index) +
                       " beyond its palette of " + std::to_string(png_.paletteEntries) + " colours";
        }
        row_.swap(prior_);
        filled_ = 0;
        if (++rowsDone_ == passes_[pass_].second) {
            ++pass_;
            startPass();
        }
        return "";
    }

    const PngLayout& png_;
    std::vector<std::pair<uint32_t, uint32_t>> passes_;
    size_t pass_ = 0;
    uint32_t rowsDone_ = 0;
    std::vector<uint8_t> row_, prior_;
    size_t filled_ = 0;  // bytes of the current row so far, its filter byte included
    unsigned filter_ = 0;
};

}  // namespace

std::string pngHeaderProblem(const uint8_t* data, size_t size, PictureHeader& header) {
    PngLayout png;
    const std::string problem = walkChunks(data, size, png);
    if (!problem.empty()) return problem;
    header.format = PictureFormat::png;
    header.sized = true;
    header.width = png.width;
    header.height = png.height;
    return "";
}

std::string pngDataProblem(const uint8_t* data, size_t size) {
    PngLayout png;
    if (!walkChunks(data, size, png).empty() || png.imageData.empty()) return "";
    const uint64_t implied = impliedBytes(png);
    const uint64_t limit = implied + kInflateSlackBytes;

    // The decoder inflates the image data chunks joined, so the check joins them too.
    std::vector<uint8_t> joined;
    for (const PngLayout::Span& span : png.imageData)
        joined.insert(joined.end(), data + span.offset, data + span.offset + span.length);
    // One byte more than the limit tells a stream that stops there from one that goes on.
    std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[limit + 1]);
    if (!out) return "out of memory for inflating the image data";
    const int64_t produced = inflatePictureData(joined.data(), joined.size(), out.get(), limit + 1,
                                                png.rawDeflate ? 0 : 1);
    joined = std::vector<uint8_t>();
    if (produced == kInflateOverflow)
        return "corrupt PNG: its image data inflates to more than " + std::to_string(limit) +
               " bytes where its " + std::to_string(png.width) + "x" + std::to_string(png.height) +
               " header implies " + std::to_string(implied);
    // A stream that does not inflate is the decoder's to refuse, with the same reason.
    if (produced < 0) return "";
    // Without a palette the decoder refuses the picture itself ("no PLTE").
    if (png.colour == 3 && png.paletteEntries)
        return PaletteIndexCheck(png).feed(out.get(), size_t(produced));
    return "";
}
