// The 35-frame animation: a radar station on a bunker, jammed until it breaks. Frames
// are drawn at the canvas origin over whatever is behind them, so only the station,
// its waves, static, sparks and smoke are opaque.
#include <cmath>
#include <utility>

#include "pictures.h"

namespace {

constexpr int kSize = 64;
constexpr double kPi = 3.14159265358979;

// Where the dish turns; angle 0 faces straight up, positive angles turn it clockwise.
constexpr double kPivotX = 32, kPivotY = 30;
constexpr double kRestAngle = 0.55;
// Half width of the dish and the distance from the pivot to the feed horn, in pixels.
constexpr double kDishHalfWidth = 13;
constexpr double kFeedDistance = 9;

const uint32_t kInk = hex(0x101820);
const uint32_t kJamColors[3] = {hex(0xFFE840), hex(0x40F0FF), hex(0xFF50E0)};

struct DishLook {
    uint32_t face, shell, strut;
};
const DishLook kDishNormal = {hex(0xD0D8E0), hex(0x7C8894), hex(0xA8B0B8)};
const DishLook kDishFlash = {hex(0xFFFFFF), hex(0xA0C8E0), hex(0xE0F0FF)};
const DishLook kDishOverload = {hex(0xFFFFF0), hex(0xFFD040), hex(0xFFF0A0)};
const DishLook kDishScorched = {hex(0x707070), hex(0x3A3A3A), hex(0x585858)};

struct Frame {
    Picture pic;
    double pivotX, pivotY, angle;
    double feedX() const { return pivotX + kFeedDistance * std::sin(angle); }
    double feedY() const { return pivotY - kFeedDistance * std::cos(angle); }
};

void drawStation(Picture& pic, bool lampOn) {
    const uint32_t wall = hex(0x3C4A58), roof = hex(0x6A7C8C), door = hex(0x1A2028),
                   window = hex(0x80E0FF), mast = hex(0xA8B0B8), lattice = hex(0x5A646E);
    fillPolygon(pic, {15, 64, 19, 52, 45, 52, 49, 64}, wall);
    fillRect(pic, 19, 52, 27, 1, roof);
    fillRect(pic, 29, 56, 6, 8, door);
    fillRect(pic, 21, 56, 3, 2, window);
    fillRect(pic, 40, 56, 3, 2, window);
    fillRect(pic, 42, 50, 2, 2, lampOn ? hex(0x40FF60) : hex(0x204028));
    fillRect(pic, 30, 33, 4, 19, mast);
    for (int y = 34; y < 51; y += 4) {
        drawLine(pic, 30, y, 33, y + 3, lattice);
        drawLine(pic, 33, y, 30, y + 3, lattice);
    }
    fillRect(pic, 28, 30, 8, 4, lattice);
}

void drawDish(Frame& f, const DishLook& look) {
    double dx = std::sin(f.angle), dy = -std::cos(f.angle);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            double px = x + 0.5 - f.pivotX, py = y + 0.5 - f.pivotY;
            double along = px * dx + py * dy;    // towards the facing direction
            double across = px * -dy + py * dx;  // sideways
            if (std::fabs(across) > kDishHalfWidth) continue;
            double back = across * across / 30 - 3;
            if (along >= back && along <= 2.6)
                setPixel(f.pic, x, y, look.face);
            else if (along >= back - 2 && along < back)
                setPixel(f.pic, x, y, look.shell);
        }
    // Struts from the rim to the feed horn.
    int fx = static_cast<int>(std::floor(f.feedX())), fy = static_cast<int>(std::floor(f.feedY()));
    for (int side = -1; side <= 1; side += 2) {
        double rx = f.pivotX + 2.6 * dx + side * kDishHalfWidth * -dy;
        double ry = f.pivotY + 2.6 * dy + side * kDishHalfWidth * dx;
        drawLine(f.pic, static_cast<int>(std::floor(rx)), static_cast<int>(std::floor(ry)), fx, fy,
                 look.strut);
    }
    fillRect(f.pic, fx - 1, fy - 1, 2, 2, look.strut);
}

// A jagged ring of radius r around the feed horn.
void drawWave(Picture& pic, double fx, double fy, double r, uint32_t color) {
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            double px = x + 0.5 - fx, py = y + 0.5 - fy;
            double dist = std::sqrt(px * px + py * py);
            double jag = r + 1.2 * std::sin(std::atan2(px, -py) * 10 + r);
            if (std::fabs(dist - jag) < 0.75) setPixel(pic, x, y, color);
        }
}

void drawStatic(Picture& pic, Rng& rng, int count) {
    for (int i = 0; i < count; ++i) {
        int x = rng.below(kSize), y = rng.below(50);
        setPixel(pic, x, y, (i % 4 == 0) ? hex(0xFFFFFF) : kJamColors[i % 3]);
    }
}

// A zigzag spark starting at (x, y), heading at angle (0 = up) for about length pixels.
void drawBolt(Picture& pic, Rng& rng, double x, double y, double angle, int length) {
    double dx = std::sin(angle), dy = -std::cos(angle);
    int px = static_cast<int>(x), py = static_cast<int>(y);
    for (int step = 0; step < length; step += 3) {
        int jitter = rng.below(5) - 2;
        int nx = static_cast<int>(x + (step + 3) * dx + jitter * -dy);
        int ny = static_cast<int>(y + (step + 3) * dy + jitter * dx);
        drawLine(pic, px, py, nx, ny, (step / 3) % 2 ? hex(0xFFFFFF) : kJamColors[0]);
        px = nx;
        py = ny;
    }
}

void drawSmoke(Picture& pic, double x, double y, int puffs) {
    const uint32_t greys[3] = {hex(0x909090), hex(0x6C6C6C), hex(0xB4B4B4)};
    for (int i = 0; i < puffs; ++i) {
        double r = 2.5 + i * 0.9;
        double px = x + 3 * std::sin(i * 1.7), py = y - i * 6;
        fillEllipse(pic, px, py, r, r * 0.85, greys[i % 3]);
        fillEllipse(pic, px - r * 0.3, py - r * 0.3, r * 0.4, r * 0.35, greys[2]);
    }
}

}  // namespace

Picture drawRadarFrame(int frame) {
    Frame f{makePicture(kSize, kSize, kTransparent), kPivotX, kPivotY, kRestAngle};
    Rng rng(0x7A4D0000u + static_cast<uint32_t>(frame) * 7919u);
    const DishLook* look = &kDishNormal;
    bool lampOn = true;
    if (frame >= 1 && frame <= 7 && frame % 2 == 1) look = &kDishFlash;
    if (frame >= 8 && frame <= 31) {
        int j = frame - 8;
        f.angle = kRestAngle * std::cos(kPi * j / 6);
        // The station shakes more and more as the jamming takes hold.
        if (j >= 18) f.pivotX += (j % 2) ? 1 : -1;
        if (j % 4 == 0) look = &kDishFlash;
        lampOn = (j % 2) == 0;
    }
    if (frame == 32) look = &kDishOverload;
    if (frame == 33) {
        f.angle = 1.35;
        look = &kDishScorched;
        lampOn = false;
    }
    if (frame == 34) {
        f.angle = 2.8;
        look = &kDishScorched;
        lampOn = false;
    }

    // Waves and static go behind the station, sparks and smoke in front of it.
    double fx = f.feedX(), fy = f.feedY();
    if (frame >= 1 && frame <= 7) {
        double r = 4 + 7 * (frame - 1);
        drawWave(f.pic, fx, fy, r, kJamColors[frame % 3]);
        if (r > 12) drawWave(f.pic, fx, fy, r - 9, kJamColors[(frame + 1) % 3]);
        drawStatic(f.pic, rng, frame * 4);
    } else if (frame >= 8 && frame <= 31) {
        int j = frame - 8;
        double r = 5 + (j % 4) * 10;
        drawWave(f.pic, fx, fy, r, kJamColors[j % 3]);
        drawWave(f.pic, fx, fy, r + 20, kJamColors[(j + 1) % 3]);
        drawStatic(f.pic, rng, 4 + j * 3);
    } else if (frame == 32) {
        drawStatic(f.pic, rng, 120);
    }

    Picture station = makePicture(kSize, kSize, kTransparent);
    std::swap(station, f.pic);
    drawStation(f.pic, lampOn);
    drawDish(f, *look);
    outlineOpaque(f.pic, kInk);
    std::swap(station, f.pic);
    drawOver(f.pic, station, 0, 0);

    if (frame >= 26 && frame <= 31) {
        for (int b = 0; b < 2; ++b)
            drawBolt(f.pic, rng, fx, fy, f.angle + (b ? 1.2 : -1.2), 6 + (frame - 26) * 2);
    } else if (frame == 32) {
        for (int b = 0; b < 6; ++b)
            drawBolt(f.pic, rng, fx, fy, b * kPi / 3 + 0.3, 14 + 2 * (b % 3));
    } else if (frame == 33) {
        drawBolt(f.pic, rng, fx, fy, -0.6, 8);
        drawBolt(f.pic, rng, fx, fy, 0.9, 6);
        drawSmoke(f.pic, f.pivotX + 4, f.pivotY - 6, 3);
    } else if (frame == 34) {
        drawSmoke(f.pic, f.pivotX + 1, f.pivotY - 4, 5);
    }
    return f.pic;
}
