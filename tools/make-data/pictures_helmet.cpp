// The armoured character, once under his oversized helmet and once with it off. Both
// share background and body; the chest plate stays a calm mid-tone, since red captions
// are set over the lower middle of this picture.
#include "pictures.h"

namespace {

constexpr int kSize = 64;

const uint32_t kInk = hex(0x06060C);

void drawSpaceBackground(Picture& pic) {
    const uint32_t top = hex(0x3A1458), bottom = hex(0x12081E);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) setPixel(pic, x, y, ditherMix(top, bottom, y / 63.0, x, y));
    Rng rng(0x5EED0001u);
    for (int i = 0; i < 40; ++i) {
        int x = rng.below(kSize), y = rng.below(kSize);
        setPixel(pic, x, y, (i % 5 == 0) ? hex(0xFFFFFF) : hex(0x9080C0));
    }
}

void drawBody(Picture& pic) {
    const uint32_t cape = hex(0x101018), capeEdge = hex(0x2A2A3A), plate = hex(0x56607A),
                   plateLight = hex(0x7A86A0), plateDark = hex(0x3A4258), lampA = hex(0x40F060),
                   lampB = hex(0xFFD040), lampC = hex(0x40C0FF);
    // Cape flaring from the shoulders to the bottom edge.
    fillPolygon(pic, {4, 64, 12, 38, 52, 38, 60, 64}, cape);
    drawLine(pic, 12, 38, 4, 63, capeEdge);
    drawLine(pic, 52, 38, 60, 63, capeEdge);
    // Chest plate.
    fillRect(pic, 17, 37, 30, 27, plate);
    fillRect(pic, 17, 37, 30, 1, plateLight);
    fillRect(pic, 17, 37, 1, 27, plateLight);
    fillRect(pic, 46, 37, 1, 27, plateDark);
    // Control box with three lamps below the captions.
    fillRect(pic, 24, 54, 16, 7, plateDark);
    fillRect(pic, 24, 54, 16, 1, kInk);
    fillRect(pic, 26, 56, 3, 3, lampA);
    fillRect(pic, 31, 56, 3, 3, lampB);
    fillRect(pic, 36, 56, 3, 3, lampC);
    // Shoulder pads.
    fillEllipse(pic, 14, 39, 6, 3.5, plateDark);
    fillEllipse(pic, 50, 39, 6, 3.5, plateDark);
    fillEllipse(pic, 13, 38, 3, 1.5, plateLight);
    fillEllipse(pic, 49, 38, 3, 1.5, plateLight);
}

}  // namespace

Picture drawDarkHelmet() {
    Picture pic = makePicture(kSize, kSize, kInk);
    drawSpaceBackground(pic);
    drawBody(pic);

    const uint32_t shell = hex(0x1C1C26), shellMid = hex(0x34384A), gleam = hex(0x8890A8),
                   spark = hex(0xE8F0FF), slit = hex(0x020204), glint = hex(0x40E0FF),
                   grille = hex(0x50566A);
    // Huge dome with a flared rim: far too big for the body under it.
    Picture helmet = makePicture(kSize, kSize, kTransparent);
    fillEllipse(helmet, 32, 22, 23, 20, shell);
    fillPolygon(helmet, {6, 28, 58, 28, 52, 38, 12, 38}, shell);
    outlineOpaque(helmet, kInk);
    drawOver(pic, helmet, 0, 0);
    // Gleam on the upper left of the dome.
    for (int y = 4; y < 20; ++y)
        for (int x = 12; x < 30; ++x) {
            double dx = (x + 0.5 - 22) / 9, dy = (y + 0.5 - 11) / 6;
            double r = dx * dx + dy * dy;
            if (r <= 1 && r > 0.55 && dx + dy < -0.3)
                setPixel(pic, x, y, ditherMix(shellMid, gleam, 1.4 - r, x, y));
        }
    setPixel(pic, 17, 9, spark);
    setPixel(pic, 18, 8, spark);
    // Visor slit with a cold glint, and the breathing grille under it.
    fillPolygon(pic, {14, 25, 50, 25, 47, 30, 17, 30}, slit);
    fillRect(pic, 20, 26, 3, 1, glint);
    setPixel(pic, 44, 27, glint);
    for (int x = 25; x <= 39; x += 2) drawLine(pic, x, 32, x, 36, grille);
    // Centre ridge down the dome.
    drawLine(pic, 32, 3, 32, 24, shellMid);
    return pic;
}

Picture drawDarkHelmetNoMask() {
    Picture pic = makePicture(kSize, kSize, kInk);
    drawSpaceBackground(pic);
    drawBody(pic);

    const uint32_t skin = hex(0xE8B890), skinShade = hex(0xB88462), hair = hex(0x4A3020),
                   frame = hex(0x181818), lens = hex(0xD8F0FF), mouth = hex(0x803838),
                   collar = hex(0x2A2A3A);
    // A small head on the big armour: the helmet did all the work.
    fillRect(pic, 29, 33, 6, 5, skinShade);
    fillRect(pic, 22, 35, 20, 3, collar);
    Picture head = makePicture(kSize, kSize, kTransparent);
    fillEllipse(head, 32, 25, 8.5, 10, skin);
    fillEllipse(head, 23.5, 25, 2, 3, skin);
    fillEllipse(head, 40.5, 25, 2, 3, skin);
    outlineOpaque(head, kInk);
    drawOver(pic, head, 0, 0);
    // Thin hair on top, shadow under the chin.
    fillPolygon(pic, {24, 20, 26, 15, 32, 13, 38, 15, 40, 20, 36, 17, 28, 17}, hair);
    fillRect(pic, 27, 33, 10, 1, skinShade);
    // Oversized round spectacles.
    fillEllipse(pic, 28.5, 25, 3.5, 3.5, frame);
    fillEllipse(pic, 35.5, 25, 3.5, 3.5, frame);
    fillEllipse(pic, 28.5, 25, 2.3, 2.3, lens);
    fillEllipse(pic, 35.5, 25, 2.3, 2.3, lens);
    setPixel(pic, 28, 25, frame);
    setPixel(pic, 35, 25, frame);
    // Small moustache and a nervous mouth.
    fillRect(pic, 29, 29, 6, 1, hair);
    fillRect(pic, 30, 31, 4, 1, mouth);
    return pic;
}
