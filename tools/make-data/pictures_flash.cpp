// The two pictures that flash against each other on the beat: a warm, fully opaque
// creature and a cool star that lets the background show around it.
#include <cmath>

#include "pictures.h"

namespace {

constexpr int kSize = 64;

void drawSunburst(Picture& pic, double cx, double cy) {
    const uint32_t rayA = hex(0xFF9A1E), rayB = hex(0xFFCF3A), glow = hex(0xFFF0A0);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            double angle = std::atan2(dy, dx);
            // 16 rays, alternating.
            int ray = static_cast<int>(
                std::floor((angle + 3.14159265358979) / (2 * 3.14159265358979) * 16));
            uint32_t c = (ray & 1) ? rayA : rayB;
            if (dx * dx + dy * dy < 30 * 30)
                c = ditherMix(c, glow, (30 - std::sqrt(dx * dx + dy * dy)) / 60, x, y);
            setPixel(pic, x, y, c);
        }
}

}  // namespace

Picture drawBarf() {
    Picture pic = makePicture(kSize, kSize, hex(0xFF9A1E));
    drawSunburst(pic, 32, 36);

    const uint32_t ink = hex(0x2A1408), furDark = hex(0x7A4418), fur = hex(0xC8843C),
                   furLight = hex(0xE8AE62), muzzle = hex(0xF6D6A0), white = hex(0xFFFFFF),
                   tongue = hex(0xF0607A), tongueDark = hex(0xB0304C), collar = hex(0x2858D0),
                   collarLight = hex(0x5C8CF0), gold = hex(0xFFE040);

    // The creature on its own layer, so it can get a dark outline before it is placed.
    Picture body = makePicture(kSize, kSize, kTransparent);
    // Shoulders and a blue collar with a tag.
    fillEllipse(body, 32, 66, 26, 14, furDark);
    fillRect(body, 14, 55, 36, 4, collar);
    fillRect(body, 14, 55, 36, 1, collarLight);
    fillEllipse(body, 32, 60.5, 3, 3, gold);
    // Floppy ears behind the head.
    fillEllipse(body, 12, 33, 7, 15, furDark);
    fillEllipse(body, 52, 33, 7, 15, furDark);
    // Head, shaded darker towards the chin.
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            double dx = (x + 0.5 - 32) / 20.5, dy = (y + 0.5 - 35) / 19;
            if (dx * dx + dy * dy > 1) continue;
            uint32_t c = ditherMix(furLight, fur, (y - 18) / 10.0, x, y);
            if (y > 40) c = ditherMix(fur, furDark, (y - 40) / 16.0, x, y);
            setPixel(body, x, y, c);
        }
    // Shaggy tuft on top.
    fillPolygon(body, {22, 20, 25, 9, 29, 18, 32, 6, 35, 18, 39, 10, 42, 20}, fur);
    fillPolygon(body, {27, 19, 29, 13, 31, 19}, furLight);
    outlineOpaque(body, ink);
    drawOver(pic, body, 0, 0);

    // Muzzle, nose and grin.
    fillEllipse(pic, 32, 44, 12, 8, muzzle);
    fillEllipse(pic, 32, 39.5, 4.5, 3, ink);
    setPixel(pic, 30, 38, white);
    drawLine(pic, 32, 42, 32, 45, ink);
    drawLine(pic, 25, 45, 32, 47, ink);
    drawLine(pic, 32, 47, 39, 45, ink);
    // Tongue hanging out of the grin.
    fillEllipse(pic, 34.5, 51, 4, 5, tongue);
    drawLine(pic, 34, 48, 34, 53, tongueDark);
    drawLine(pic, 30, 47, 39, 47, ink);

    // Eyes looking up and to the side, with bushy brows.
    fillEllipse(pic, 24, 30, 4.5, 5, white);
    fillEllipse(pic, 40, 30, 4.5, 5, white);
    fillRect(pic, 25, 28, 2, 3, ink);
    fillRect(pic, 41, 28, 2, 3, ink);
    setPixel(pic, 25, 28, white);
    setPixel(pic, 41, 28, white);
    drawLine(pic, 19, 24, 27, 23, furDark);
    drawLine(pic, 19, 25, 27, 24, furDark);
    drawLine(pic, 37, 23, 45, 24, furDark);
    drawLine(pic, 37, 24, 45, 25, furDark);
    return pic;
}

Picture drawLonestar() {
    Picture pic = makePicture(kSize, kSize, kTransparent);
    const double cx = 32, cy = 33.5, outer = 30.5, inner = 12.5;
    // Ten corners, starting at the top point, clockwise.
    double corner[10][2];
    for (int i = 0; i < 10; ++i) {
        double a = i * 3.14159265358979 / 5;
        double r = (i % 2 == 0) ? outer : inner;
        corner[i][0] = cx + r * std::sin(a);
        corner[i][1] = cy - r * std::cos(a);
    }
    // Bevel: each arm has two facets; light comes from the upper left.
    const uint32_t facet[5] = {hex(0x141A5C), hex(0x222C8C), hex(0x3444B8), hex(0x4C64DC),
                               hex(0x6A88F0)};
    for (int i = 0; i < 10; ++i) {
        const double* a = corner[i];
        const double* b = corner[(i + 1) % 10];
        double mx = (a[0] + b[0]) / 2 - cx, my = (a[1] + b[1]) / 2 - cy;
        double len = std::sqrt(mx * mx + my * my);
        // Facing towards the light (-0.6, -0.8) is bright.
        double lit = (mx * -0.6 + my * -0.8) / len;
        int shade = static_cast<int>(std::floor((lit + 1) / 2 * 4.999));
        fillPolygon(pic, {cx, cy, a[0], a[1], b[0], b[1]}, facet[shade]);
    }
    outlineOpaque(pic, hex(0xA8F4FF));
    outlineOpaque(pic, hex(0x102040));

    // A few twinkles around the star.
    const uint32_t twinkle = hex(0xE0FCFF);
    const int spots[4][2] = {{6, 6}, {57, 9}, {5, 56}, {58, 58}};
    for (const auto& s : spots) {
        setPixel(pic, s[0], s[1], twinkle);
        setPixel(pic, s[0] - 1, s[1], hex(0x60B0F0));
        setPixel(pic, s[0] + 1, s[1], hex(0x60B0F0));
        setPixel(pic, s[0], s[1] - 1, hex(0x60B0F0));
        setPixel(pic, s[0], s[1] + 1, hex(0x60B0F0));
    }
    return pic;
}
