#include "assets/picture_check.h"

#include <cstring>

namespace {

bool startsWith(const uint8_t* data, size_t size, const char* magic, size_t length) {
    return size >= length && std::memcmp(data, magic, length) == 0;
}

// Formats the decoder could read but this build leaves out, named by their first bytes.
const char* otherFormat(const uint8_t* data, size_t size) {
    if (startsWith(data, size, "BM", 2)) return "BMP";
    if (startsWith(data, size, "GIF87a", 6) || startsWith(data, size, "GIF89a", 6)) return "GIF";
    if (startsWith(data, size, "8BPS", 4)) return "PSD";
    if (startsWith(data, size, "#?RADIANCE", 10) || startsWith(data, size, "#?RGBE", 6))
        return "HDR";
    if (startsWith(data, size, "\x53\x80\xF6\x34", 4)) return "PIC";
    if (size >= 2 && data[0] == 'P' && data[1] >= '1' && data[1] <= '7') return "PNM";
    return nullptr;
}

}  // namespace

bool looksLikeJpeg(const uint8_t* data, size_t size) {
    size_t i = 0;
    while (i < size && data[i] == 0xFF) ++i;
    return i > 0 && i < size && data[i] == 0xD8;
}

std::string pictureFormatProblem(const uint8_t* data, size_t size, PictureFormat& format) {
    if (startsWith(data, size, "\x89PNG\r\n\x1A\n", 8)) {
        format = PictureFormat::png;
        return "";
    }
    if (looksLikeJpeg(data, size)) {
        format = PictureFormat::jpeg;
        return "";
    }
    const char* other = otherFormat(data, size);
    return std::string("unsupported picture format (") + (other ? other : "unknown image type") +
           ")";
}
