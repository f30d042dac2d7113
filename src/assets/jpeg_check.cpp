#include "assets/picture_check.h"

#include <algorithm>

namespace {

constexpr unsigned kNoMarker = 0xFF;  // what the decoder reads where no marker is

// The bytes as the decoder reads them: past the end, every byte reads as 0.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    unsigned byte() { return at < size ? data[at++] : (at++, 0u); }
    unsigned word() {
        const unsigned high = byte();
        return high << 8 | byte();
    }
    bool atEnd() const { return at >= size; }
    void skip(size_t bytes) { at = bytes > size - std::min(at, size) ? size : at + bytes; }
    // A marker: 0xFF, any number of fill bytes 0xFF, then the marker's code.
    unsigned marker() {
        if (byte() != 0xFF) return kNoMarker;
        unsigned code = 0xFF;
        while (code == 0xFF) {
            if (atEnd()) return 0;
            code = byte();
        }
        return code;
    }
};

// Which Huffman tables have been defined: [class 0 = DC, 1 = AC][table 0..3].
struct Tables {
    bool defined[2][4] = {};
};

enum class Step { ok, decoderRefuses };

// A table segment as the decoder reads it; the counts were checked by jpegHuffmanTablesFit.
Step readHuffmanTables(Reader& in, Tables& tables) {
    long left = long(in.word()) - 2;
    while (left > 0) {
        const unsigned q = in.byte(), tableClass = q >> 4, id = q & 15;
        if (tableClass > 1 || id > 3) return Step::decoderRefuses;
        unsigned codes = 0;
        for (int i = 0; i < 16; ++i) codes += in.byte();
        in.skip(codes);
        tables.defined[tableClass][id] = true;
        left -= long(17 + codes);
    }
    return left == 0 ? Step::ok : Step::decoderRefuses;
}

// One segment that is no frame or scan, read as the decoder reads it.
Step readSegment(Reader& in, unsigned marker, Tables& tables) {
    if (marker == 0xC4) return readHuffmanTables(in, tables);
    if (marker == 0xDD) {
        if (in.word() != 4) return Step::decoderRefuses;
        in.word();
        return Step::ok;
    }
    if (marker == 0xDB) {
        long left = long(in.word()) - 2;
        while (left > 0) {
            const unsigned q = in.byte();
            if ((q >> 4) > 1 || (q & 15) > 3) return Step::decoderRefuses;
            const long bytes = (q >> 4) ? 128 : 64;
            in.skip(size_t(bytes));
            left -= bytes + 1;
        }
        return left == 0 ? Step::ok : Step::decoderRefuses;
    }
    if ((marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE) {
        const unsigned length = in.word();
        if (length < 2) return Step::decoderRefuses;
        in.skip(length - 2);
        return Step::ok;
    }
    return Step::decoderRefuses;
}

// The frame types the decoder does not decode, by name.
const char* unsupportedFrame(unsigned marker) {
    switch (marker) {
    case 0xC3: return "lossless JPEG";
    case 0xC5:
    case 0xC6:
    case 0xC7: return "hierarchical JPEG";
    case 0xC9:
    case 0xCA:
    case 0xCB:
    case 0xCD:
    case 0xCE:
    case 0xCF: return "arithmetic-coded JPEG";
    default: return nullptr;
    }
}

std::string frameProblem(Reader& in, PictureHeader& header) {
    in.word();  // length, which the decoder checks
    const unsigned precision = in.byte();
    header.height = in.word();
    header.width = in.word();
    const unsigned components = in.byte();
    if (precision != 8)
        return "unsupported picture format (" + std::to_string(precision) + "-bit JPEG)";
    if (header.height == 0)
        return "unsupported picture format (JPEG whose height follows its image data)";
    if (header.width == 0) return "corrupt JPEG: its frame header gives a width of 0";
    if (components != 1 && components != 3 && components != 4)
        return "unsupported picture format (JPEG of " + std::to_string(components) + " components)";
    in.skip(3 * components);
    header.sized = true;
    return "";
}

// A scan header: every component's tables must be defined by now. A DC scan of a
// progressive picture uses only DC tables (its refinements none); an AC scan only AC ones.
std::string scanProblem(Reader& in, bool progressive, const Tables& tables) {
    in.word();
    const unsigned count = in.byte();
    if (count < 1 || count > 4) return "";  // the decoder refuses the scan itself
    unsigned selectors[4];
    for (unsigned i = 0; i < count; ++i) {
        in.byte();
        selectors[i] = in.byte();
    }
    const unsigned spectralStart = in.byte();
    in.byte();
    const unsigned successive = in.byte();
    const bool usesDc = !progressive || (spectralStart == 0 && (successive >> 4) == 0);
    const bool usesAc = !progressive || spectralStart != 0;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned dc = selectors[i] >> 4, ac = selectors[i] & 15;
        if (usesDc && dc <= 3 && !tables.defined[0][dc])
            return "corrupt JPEG: a scan uses DC Huffman table " + std::to_string(dc) +
                   ", which is not defined";
        if (usesAc && ac <= 3 && !tables.defined[1][ac])
            return "corrupt JPEG: a scan uses AC Huffman table " + std::to_string(ac) +
                   ", which is not defined";
    }
    return "";
}

// Past a scan's entropy-coded data: to the first 0xFF followed, after any fill bytes, by a
// code that is neither 0 (a stuffed 0xFF) nor a restart marker. Returns that code, or 0
// at the end of the file.
unsigned afterScan(Reader& in) {
    while (!in.atEnd()) {
        if (in.byte() != 0xFF) continue;
        unsigned code = 0xFF;
        while (code == 0xFF && !in.atEnd()) code = in.byte();
        if (code != 0 && code != 0xFF && !(code >= 0xD0 && code <= 0xD7)) return code;
    }
    return 0;
}

bool isFrame(unsigned marker) {
    return marker == 0xC0 || marker == 0xC1 || marker == 0xC2;
}

}  // namespace

bool jpegHuffmanTablesFit(const uint8_t* data, size_t size) {
    auto at = [&](size_t i) -> unsigned { return i < size ? data[i] : 0; };
    for (size_t marker = 0; marker + 1 < size; ++marker) {
        if (data[marker] != 0xFF || data[marker + 1] != 0xC4) continue;
        // Segment length, then tables of a class byte, 16 code counts and the codes.
        long left = long(at(marker + 2) << 8 | at(marker + 3)) - 2;
        size_t table = marker + 4;
        while (left > 0 && table < size) {
            unsigned codes = 0;
            for (size_t i = 0; i < 16; ++i) codes += at(table + 1 + i);
            if (codes > 256) return false;
            table += 17 + codes;
            left -= long(17 + codes);
        }
    }
    return true;
}

std::string jpegHeaderProblem(const uint8_t* data, size_t size, PictureHeader& header) {
    header = PictureHeader();
    header.format = PictureFormat::jpeg;
    if (!jpegHuffmanTablesFit(data, size))
        return "corrupt JPEG: a Huffman table lists more than 256 codes";
    Reader in{data, size};
    Tables tables;
    in.marker();  // the start of image, found by looksLikeJpeg
    // Up to the frame header exactly as the decoder goes: it reads one frame header only,
    // the first, and sizes everything from it.
    unsigned marker = in.marker();
    while (!isFrame(marker)) {
        if (const char* name = unsupportedFrame(marker))
            return std::string("unsupported picture format (") + name + ")";
        if (marker == kNoMarker || readSegment(in, marker, tables) != Step::ok) return "";
        marker = in.marker();
        while (marker == kNoMarker) {
            if (in.atEnd()) return "";
            marker = in.marker();
        }
    }
    const bool progressive = marker == 0xC2;
    const std::string frame = frameProblem(in, header);
    if (!frame.empty()) return frame;
    // The scans, and the segments between them.
    int scans = 0;
    marker = in.marker();
    while (marker != 0 && marker != 0xD9 && marker != kNoMarker) {
        if (marker == 0xDA) {
            if (++scans > kMaxJpegScans)
                return "corrupt JPEG: more than " + std::to_string(kMaxJpegScans) + " scans";
            const std::string scan = scanProblem(in, progressive, tables);
            if (!scan.empty()) return scan;
            marker = afterScan(in);
            continue;
        }
        if (marker == 0xDC) {
            in.skip(4);
        } else if (readSegment(in, marker, tables) != Step::ok) {
            break;  // the decoder refuses the segment itself
        }
        marker = in.marker();
    }
    return "";
}
