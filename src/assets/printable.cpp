#include "assets/printable.h"

#include <cstdint>
#include <cstdio>

namespace {

// Length of the UTF-8 sequence starting at text[i] that encodes a printable letter
// (U+00A0 and up, no surrogates, no overlong forms), or 0 when there is none.
size_t printableSequence(const std::string& text, size_t i) {
    const uint8_t lead = uint8_t(text[i]);
    size_t length;
    uint32_t code;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, code = lead & 0x1Fu;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, code = lead & 0x0Fu;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, code = lead & 0x07u;
    else
        return 0;
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const uint8_t next = uint8_t(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = code << 6 | (next & 0x3Fu);
    }
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return code >= 0xA0 ? length : 0;
}

}  // namespace

std::string printable(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const uint8_t byte = uint8_t(text[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            out += char(byte);
            ++i;
            continue;
        }
        const size_t length = byte >= 0x80 ? printableSequence(text, i) : 0;
        if (length > 0) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
        out += escaped;
        ++i;
    }
    return out;
}
