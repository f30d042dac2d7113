#include "picture.h"

#include <cmath>

Picture makePicture(int width, int height, uint32_t fill) {
    Picture pic;
    pic.width = width;
    pic.height = height;
    pic.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    return pic;
}

bool isOpaque(uint32_t pixel) {
    return (pixel >> 24) >= 0x80;
}

void setPixel(Picture& pic, int x, int y, uint32_t color) {
    if (x < 0 || y < 0 || x >= pic.width || y >= pic.height) return;
    pic.pixels[static_cast<size_t>(y) * pic.width + x] = color;
}

uint32_t pixelAt(const Picture& pic, int x, int y) {
    if (x < 0 || y < 0 || x >= pic.width || y >= pic.height) return kTransparent;
    return pic.pixels[static_cast<size_t>(y) * pic.width + x];
}

void fillRect(Picture& pic, int x, int y, int w, int h, uint32_t color) {
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px) setPixel(pic, px, py, color);
}

void fillEllipse(Picture& pic, double cx, double cy, double rx, double ry, uint32_t color) {
    if (rx <= 0 || ry <= 0) return;
    for (int y = 0; y < pic.height; ++y) {
        double dy = (y + 0.5 - cy) / ry;
        if (dy * dy > 1) continue;
        for (int x = 0; x < pic.width; ++x) {
            double dx = (x + 0.5 - cx) / rx;
            if (dx * dx + dy * dy <= 1) setPixel(pic, x, y, color);
        }
    }
}

void fillPolygon(Picture& pic, const std::vector<double>& xy, uint32_t color) {
    size_t n = xy.size() / 2;
    if (n < 3) return;
    for (int y = 0; y < pic.height; ++y) {
        double sy = y + 0.5;
        for (int x = 0; x < pic.width; ++x) {
            double sx = x + 0.5;
            bool inside = false;
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                double xi = xy[2 * i], yi = xy[2 * i + 1];
                double xj = xy[2 * j], yj = xy[2 * j + 1];
                if ((yi > sy) != (yj > sy) && sx < (xj - xi) * (sy - yi) / (yj - yi) + xi)
                    inside = !inside;
            }
            if (inside) setPixel(pic, x, y, color);
        }
    }
}

void drawLine(Picture& pic, int x0, int y0, int x1, int y1, uint32_t color) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        setPixel(pic, x0, y0, color);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void drawRows(Picture& pic, int x, int y, const std::vector<std::string>& rows,
              const std::vector<PaletteEntry>& palette) {
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            for (const PaletteEntry& entry : palette) {
                if (entry.key != rows[r][c]) continue;
                setPixel(pic, x + static_cast<int>(c), y + static_cast<int>(r), entry.color);
                break;
            }
        }
    }
}

void outlineOpaque(Picture& pic, uint32_t color) {
    Picture before = pic;
    for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            if (isOpaque(pixelAt(before, x, y))) continue;
            if (isOpaque(pixelAt(before, x - 1, y)) || isOpaque(pixelAt(before, x + 1, y)) ||
                isOpaque(pixelAt(before, x, y - 1)) || isOpaque(pixelAt(before, x, y + 1)))
                setPixel(pic, x, y, color);
        }
    }
}

void drawOver(Picture& dst, const Picture& src, int x, int y) {
    for (int sy = 0; sy < src.height; ++sy)
        for (int sx = 0; sx < src.width; ++sx) {
            uint32_t p = pixelAt(src, sx, sy);
            if (isOpaque(p)) setPixel(dst, x + sx, y + sy, p);
        }
}

double ditherThreshold(int x, int y) {
    static const int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (kBayer4[y & 3][x & 3] + 0.5) / 16.0;
}

uint32_t ditherMix(uint32_t a, uint32_t b, double t, int x, int y) {
    return t > ditherThreshold(x, y) ? b : a;
}

uint32_t Rng::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int Rng::below(int n) {
    return static_cast<int>(next() % static_cast<uint32_t>(n));
}
