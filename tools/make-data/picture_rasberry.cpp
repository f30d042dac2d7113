// The small bobbing sprite: a raspberry of round drupelets under a green calyx.
#include "pictures.h"

namespace {

constexpr int kBerrySize = 24;

}  // namespace

Picture drawRasberry() {
    Picture pic = makePicture(kBerrySize, kBerrySize, kTransparent);
    const uint32_t rim = hex(0x7A0A34), body = hex(0xC81E50), bright = hex(0xE84A74),
                   shine = hex(0xFFB0C8), leaf = hex(0x48A830), leafDark = hex(0x246818),
                   stem = hex(0x386020), ink = hex(0x300010);

    // Overall berry shape first, so gaps between drupelets are dark red, not holes.
    fillEllipse(pic, 12, 14.2, 9, 8.2, rim);
    // Drupelets on a staggered grid, each with a highlight towards the upper left.
    for (int row = 0; row < 5; ++row) {
        int count = (row == 0 || row == 4) ? 3 : 4;
        double y = 8.5 + row * 3.1;
        double x0 = 12 - (count - 1) * 1.9;
        for (int i = 0; i < count; ++i) {
            double x = x0 + i * 3.8;
            fillEllipse(pic, x, y, 2.1, 2.0, body);
            fillEllipse(pic, x - 0.4, y - 0.4, 1.1, 1.0, bright);
            setPixel(pic, static_cast<int>(x - 1), static_cast<int>(y - 1), shine);
        }
    }
    // Calyx: five pointed leaves and a short stem.
    fillPolygon(pic, {12, 7, 4, 5, 9, 4}, leaf);
    fillPolygon(pic, {12, 7, 20, 5, 15, 4}, leaf);
    fillPolygon(pic, {12, 7, 7, 1.5, 11, 3}, leafDark);
    fillPolygon(pic, {12, 7, 17, 1.5, 13, 3}, leafDark);
    fillPolygon(pic, {10, 7.5, 12, 2.5, 14, 7.5}, leaf);
    fillRect(pic, 12, 0, 1, 3, stem);
    outlineOpaque(pic, ink);
    return pic;
}
