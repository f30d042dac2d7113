// The final picture: a QR code of the event's hashtag and date.
#include <qrencode.h>

#include "pictures.h"

namespace {

constexpr int kSize = 64;
// Pixels per QR module; a version-2 symbol (25 modules) then leaves a white quiet zone
// of 7 pixels (3.5 modules) on every side.
constexpr int kModulePixels = 2;

}  // namespace

Picture drawLowrezQr() {
    QRcode* code = QRcode_encodeString(kQrText, 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code) return Picture{};
    int side = code->width * kModulePixels;
    if (side > kSize) {
        QRcode_free(code);
        return Picture{};
    }
    Picture pic = makePicture(kSize, kSize, hex(0xFFFFFF));
    int margin = (kSize - side) / 2;
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x) {
            // Bit 0 of each module byte is set for a dark module.
            if (code->data[y * code->width + x] & 1)
                fillRect(pic, margin + x * kModulePixels, margin + y * kModulePixels, kModulePixels,
                         kModulePixels, hex(0x000000));
        }
    QRcode_free(code);
    return pic;
}
