// Writes the interface pictures and composites (cockpit over a street, title over the
// menu backdrop, garage with its pointer spots, HUD overlay test) as PPM files.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>

#include "picture.h"
#include "draw/palette.h"

namespace artgen {
// Stand-ins for pictures painted elsewhere, used only while those are missing.
__attribute__((weak)) void drawSky(Picture& p) {
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) p.at(x, y) = uint8_t(y < 200 ? 57 : 45);
}
__attribute__((weak)) void drawFontStyles(Picture& p) {
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if ((x % 10) > 1 && (x % 10) < 8 && (y % 10) > 1 && (y % 10) < 9) p.at(x, y) = 22;
}
__attribute__((weak)) void drawPortraits(Picture& p) {
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) p.at(x, y) = uint8_t(100 + (x / 64 + y / 64 * 2));
}
__attribute__((weak)) void drawHudIcon(Picture& p) {
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x) p.at(x, y) = 203;
}
__attribute__((weak)) void drawGarageIcon(Picture& p) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x <= y / 2 + 1 && x < 16; ++x) p.at(x, y) = x == 0 || x == y / 2 + 1 || y == 15 ? 255 : 22;
}
}  // namespace artgen

using artgen::Picture;

static void writePpm(const Picture& p, const std::string& name) {
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
    for (uint8_t c : p.pixels) std::fwrite(hc::BasePalette[c], 1, 3, f);
    std::fclose(f);
}

static Picture cut(const Picture& s, int x0, int y0, int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.at(x, y) = s.at(x0 + x, y0 + y);
    return p;
}

static void blit(const Picture& src, Picture& dst, int ox, int oy, bool transparent) {
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            if (!transparent || src.at(x, y)) dst.set(ox + x, oy + y, src.at(x, y));
}

static void line(Picture& p, double x0, double y0, double x1, double y1, uint8_t c) {
    int n = int(std::max(std::abs(x1 - x0), std::abs(y1 - y0))) + 1;
    for (int i = 0; i <= n; ++i) p.set(int(std::lround(x0 + (x1 - x0) * i / n)), int(std::lround(y0 + (y1 - y0) * i / n)), c);
}

static void lcd(Picture& p, int x, int y, const char* t, uint8_t c) {
    static const int masks[10] = {63, 12, 118, 94, 77, 91, 123, 14, 127, 95};
    for (; *t; ++t, x += 7) {
        if (*t == ':') { p.set(x + 2, y + 3, c); p.set(x + 2, y + 6, c); continue; }
        if (*t == '.') { line(p, x, y + 5, x, y + 7, c); continue; }
        if (*t < '0' || *t > '9') continue;
        int m = masks[*t - '0'];
        if (m & 1) line(p, x, y + 1, x, y + 3, c);
        if (m & 2) line(p, x + 1, y, x + 4, y, c);
        if (m & 4) line(p, x + 5, y + 1, x + 5, y + 3, c);
        if (m & 8) line(p, x + 5, y + 5, x + 5, y + 7, c);
        if (m & 16) line(p, x + 1, y + 8, x + 4, y + 8, c);
        if (m & 32) line(p, x, y + 5, x, y + 7, c);
        if (m & 64) line(p, x + 1, y + 4, x + 4, y + 4, c);
    }
}

static void box(Picture& p, int x0, int y0, int x1, int y1, uint8_t c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) p.set(x, y, c);
}

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : ".";
    Picture sheet(640, 1402);
    artgen::drawInterfaceArt(sheet);
    writePpm(sheet, dir + "/sheet.ppm");
    Picture cockpit = cut(sheet, 0, 960, 640, 180), title = cut(sheet, 0, 1140, 500, 170);
    Picture menu = cut(sheet, 0, 560, 640, 400), garage = cut(sheet, 0, 0, 640, 320);
    Picture sky = cut(sheet, 0, 320, 640, 240), pointer = cut(sheet, 320, 1360, 16, 16);

    // Checks of what the HUD relies on, printed for the painter.
    {
        auto count = [&](int x0, int y0, int x1, int y1, auto pred) {
            int n = 0;
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) n += pred(cockpit.at(x, y - 300)) ? 1 : 0;
            return n;
        };
        auto lum = [](uint8_t c) { return 0.3 * hc::BasePalette[c][0] + 0.59 * hc::BasePalette[c][1] + 0.11 * hc::BasePalette[c][2]; };
        std::printf("windshield row 300 zeros: %d of 640\n", count(0, 300, 639, 300, [](uint8_t c) { return c == 0; }));
        std::printf("zeros in rows 372-479: %d\n", count(0, 372, 639, 479, [](uint8_t c) { return c == 0; }));
        std::printf("lamp A zero/black: %d, mean lum %.0f\n", count(284, 407, 295, 420, [](uint8_t c) { return c == 0 || c == 255; }), [&] { double s = 0; for (int y = 407; y <= 420; ++y) for (int x = 284; x <= 295; ++x) s += lum(cockpit.at(x, y - 300)); return s / 168; }());
        std::printf("lamp B zero/black: %d, mean lum %.0f\n", count(297, 407, 308, 420, [](uint8_t c) { return c == 0 || c == 255; }), [&] { double s = 0; for (int y = 407; y <= 420; ++y) for (int x = 297; x <= 308; ++x) s += lum(cockpit.at(x, y - 300)); return s / 168; }());
        struct R { const char* name; int x0, y0, x1, y1; } rs[] = {{"fare", 578, 314, 633, 322}, {"score", 578, 326, 633, 334}, {"turbo", 21, 336, 41, 344},
            {"clock", 278, 391, 312, 399}, {"speed", 287, 461, 309, 471}, {"minimap", 540, 392, 639, 471}, {"portrait", 0, 416, 63, 479}};
        for (auto& r : rs) {
            double mx = 0;
            int zeros = count(r.x0, r.y0, r.x1, r.y1, [](uint8_t c) { return c == 0; });
            for (int y = r.y0; y <= r.y1; ++y) for (int x = r.x0; x <= r.x1; ++x) mx = std::max(mx, lum(cockpit.at(x, y - 300)));
            std::printf("%-8s zeros %d, brightest lum %.0f\n", r.name, zeros, mx);
        }
        int accents = 0;
        for (uint8_t c : sheet.pixels) accents += (c >= 23 && c <= 27) ? 1 : 0;
        std::printf("interface accents 23-27 anywhere on the sheet: %d\n", accents);
    }
    // The view from the driver's seat: sky, a street, the cockpit and the HUD marks.
    for (int pass = 0; pass < 2; ++pass) {
        Picture screen(640, 480, 255);
        blit(sky, screen, 0, 0, false);
        for (int y = 202; y < 480; ++y)
            for (int x = 0; x < 640; ++x) screen.at(x, y) = uint8_t(std::abs(x - 320) < (y - 200) * 2 ? 77 : 82);
        for (int y = 120; y < 202; ++y)
            for (int x = 0; x < 200; ++x) screen.at(x, y) = uint8_t(((x / 8 + y / 10) % 5) ? 95 : 233);
        line(screen, 320, 360, 320 + 384 * std::cos(3.9), 360 + 384 * std::sin(3.9), 255);
        blit(cockpit, screen, 0, 300, true);
        double turn = pass ? 0.8 : 0.0, speed = pass ? 270 : 0;
        int kx = int(std::lround(293 + 210 * std::sin(0.4 * turn))), ky = int(std::lround(480 + 90 - 210 * std::cos(0.4 * turn)));
        for (int y = -3; y <= 3; ++y)
            for (int x = -3; x <= 3; ++x)
                if (x * x + y * y <= 9) screen.set(kx + x, ky + y, 172);
        lcd(screen, 578, 314, pass ? "01234567" : "0042", 172);
        lcd(screen, 578, 326, pass ? "88888888" : "1234", 172);
        lcd(screen, 21, 336, "0.3", 23);
        lcd(screen, 278, 391, "04:07", 25);
        lcd(screen, 287, 462, pass ? "270" : "000", 255);
        lcd(screen, 288, 461, pass ? "270" : "000", 27);
        if (pass) box(screen, 284, 407, 295, 420, 255);
        else box(screen, 297, 407, 308, 420, 255);
        double a = 2.44159 + speed / 270 * 4.712385;
        for (int dx = 0; dx < 2; ++dx)
            for (int dy = 0; dy < 2; ++dy)
                line(screen, 233 + 34 * std::cos(a) + dx, 441 + 34 * std::sin(a) + dy, 233 - 6 * std::cos(a) + dx, 441 - 6 * std::sin(a) + dy, 172);
        blit(cut(sheet, 512 + 64, 1140, 64, 64), screen, 0, 416, false);
        if (pass) {
            // Minimap marks as the game draws them.
            for (int i = 0; i < 100; ++i) { screen.set(540 + i, 420, 27); screen.set(540 + i, 440, 27); }
            for (int j = 0; j < 80; ++j) { screen.set(580, 392 + j, 27); screen.set(600, 392 + j, 27); }
            screen.set(590, 430, 22);
        }
        writePpm(screen, dir + (pass ? "/drive_b.ppm" : "/drive_a.ppm"));
    }
    // Title over the menu backdrop, with bars where the entries are printed.
    {
        Picture screen(640, 480, 255);
        blit(menu, screen, 0, 40, true);
        blit(title, screen, 70, 40, true);
        for (int i = 1; i <= 5; ++i) box(screen, 265, 222 + 20 * i, 375, 231 + 20 * i, i == 2 ? 26 : 22);
        writePpm(screen, dir + "/menu.ppm");
    }
    // The garage with the pointer at every spot.
    {
        static const int spots[10][2] = {{86, 242}, {128, 227}, {167, 110}, {174, 185}, {307, 174},
                                         {332, 92}, {345, 170}, {389, 224}, {510, 226}, {602, 59}};
        Picture g = garage;
        for (auto& s : spots) blit(pointer, g, s[0], s[1], true);
        writePpm(g, dir + "/garage.ppm");
    }
    return 0;
}
