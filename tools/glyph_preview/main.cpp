// Renders the font, portraits and icons into sample screens (PPM files) the way the
// game draws them, to judge them by eye, and checks the rules the game relies on.
// Usage: glyph_preview <output folder>
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "assets/font.h"
#include "picture.h"
#include "draw/palette.h"

using artgen::Picture;

namespace {

void blit(Picture& dst, const Picture& src, int sx, int sy, int w, int h, int dx, int dy, bool opaque) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t c = src.at(sx + x, sy + y);
            if (c != 0 || opaque) dst.set(dx + x, dy + y, c);
        }
}

void printText(Picture& screen, const Picture& font, int x, int y, std::string_view text, int style) {
    const int advance = style == 3 ? 7 : 10;
    if (x == -1) x = (screen.width - int(text.size()) * advance) / 2;
    for (char c : text) {
        const int g = hc::glyphNumber(c);
        if (g >= 0) blit(screen, font, g * 10, style * 10, 10, 10, x, c == '\'' ? y - 5 : y, false);
        const bool narrow = std::string_view("il.,!:'").find(c) != std::string_view::npos;
        x += style == 3 && narrow ? 3 : advance;
    }
}

void fill(Picture& p, int x0, int y0, int x1, int y1, uint8_t c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) p.set(x, y, c);
}

void speechBubble(Picture& screen, const Picture& font, int y, std::string_view text) {
    const int w = 10 * int(text.size()), h = 10, x = (screen.width - w) / 2;
    fill(screen, x - 5, y - 5, x + w + 5, y + h + 5, 22);
    for (int i = x - 4; i <= x + w + 4; ++i) screen.set(i, y - 4, 255), screen.set(i, y + h + 4, 255);
    for (int j = y - 4; j <= y + h + 4; ++j) screen.set(x - 4, j, 255), screen.set(x + w + 4, j, 255);
    printText(screen, font, x, y, text, 0);
    const int b = y + h + 4;
    for (int i = 0; i <= 10; ++i) {
        for (int k = x - 5; k <= x + 7 - i; ++k) screen.set(k, b + i, 22);
        screen.set(x - 4, b + i, 255);
        screen.set(x + 6 - i, b + i, 255);
    }
    screen.set(x + 7, b, 255);
}

void writePpm(const std::string& path, const Picture& p) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
    for (uint8_t c : p.pixels) std::fwrite(hc::BasePalette[c], 1, 3, f);
    std::fclose(f);
}

// A stand-in for the world: dusk sky, facades with windows, the street.
void world(Picture& s) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            uint8_t c = y < 120 ? uint8_t(56 + y / 20) : (y < 200 ? 96 : 77);
            if (y >= 120 && y < 200 && (x / 12) % 2 == 0 && (y / 14) % 2 == 0) c = (x + y) % 3 ? 231 : 3;
            if (y >= 200 && (x + y) % 7 == 0) c = 78;
            s.at(x, y) = c;
        }
}

// Checks the layout rules the game relies on; prints each breach and returns their count.
int checkArt(const Picture& font, const Picture& portraits, const Picture& drop, const Picture& pointer) {
    int faults = 0;
    auto fault = [&](const std::string& what) {
        std::fprintf(stderr, "fault: %s\n", what.c_str());
        ++faults;
    };
    for (int style = 0; style < 5; ++style)
        for (int g = 0; g < 50; ++g) {
            int rightmost = -1, count = 0;
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 10; ++x)
                    if (font.at(10 * g + x, 10 * style + y) != 0) rightmost = std::max(rightmost, x), ++count;
            const std::string id = "glyph " + std::to_string(g) + " style " + std::to_string(style);
            if (count == 0) fault(id + " is empty");
            if (rightmost >= 9) fault(id + " touches the right edge of its cell");
            const bool narrow = g == 8 || g == 11 || g == 36 || g == 37 || g == 38 || g == 45;
            if (style == 3 && rightmost >= (narrow ? 3 : 7)) fault(id + " is wider than its advance");
        }
    for (uint8_t c : portraits.pixels)
        if (c == 0) {
            fault("a portrait has a transparent pixel");
            break;
        }
    for (const Picture* icon : {&drop, &pointer}) {
        int inked = 0;
        for (uint8_t c : icon->pixels) inked += c != 0;
        if (inked == 0 || inked == int(icon->pixels.size())) fault("an icon has no transparent surround");
    }
    if (drop.at(7, 7) != 0 || drop.at(0, 0) != 0) fault("the raindrop fills its corners");
    if (pointer.at(0, 0) == 0) fault("the pointer's hotspot is not on the pointer");
    return faults;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : ".";
    Picture font(500, 50, 0);
    artgen::drawFontStyles(font);

    Picture sheet(500, 50, 34);
    blit(sheet, font, 0, 0, 500, 50, 0, 0, false);
    writePpm(out + "/font_sheet.ppm", sheet);

    Picture screen(640, 300, 0);
    world(screen);
    printText(screen, font, -1, 4, "time's up!", 2);
    printText(screen, font, -1, 20, "Your score: 1234", 3);
    printText(screen, font, -1, 36, "arcade mode", 2);
    printText(screen, font, -1, 50, "career mode", 2);
    printText(screen, font, -1, 64, "read this!", 2);
    printText(screen, font, 10, 90, "bank: $600", 1);
    printText(screen, font, 10, 104, "Go to work", 1);
    printText(screen, font, 10, 118, "3/16  brakes 75% radio?", 1);
    printText(screen, font, 10, 134, "fps: 61.2 rays: 640 (low)", 3);
    printText(screen, font, 10, 148, "the quick brown fox jumps over the lazy dog.", 3);
    printText(screen, font, 10, 162, "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789", 1);
    printText(screen, font, 10, 176, "still filling: i'll kill it, billie! ill.", 3);
    printText(screen, font, -1, 196, "1587", 2);
    speechBubble(screen, font, 220, "press [S] to start the car.");
    speechBubble(screen, font, 250, "i don't want to die! driver.exe");
    printText(screen, font, 10, 280, "@ \"quoted\" 50% +-<>/; a-b", 1);
    writePpm(out + "/screen.ppm", screen);

    // The controls page over a greyed backdrop.
    Picture help(640, 300, 0);
    world(help);
    for (auto& c : help.pixels) c = uint8_t(4 + (c * 7) % 14);
    static constexpr std::string_view Keys[15] = {"+", "-", "<", ">", ".", ",", "S", "W", "Z", "!", "R",
                                                  "?1", "?2", "?3", "?4"};
    static constexpr std::string_view Lines[15] = {
        "    up/accelerate", "    down/brake", "    turn left", "    turn right", "    select",
        "    exit/return to garage", "    ignition/starter", "    windshield wipers", "    minimap zoom",
        "    toggle map view", "    reverse", "    music on/off", "    grab screenshot",
        "    show game stats", "    toggle low detail mode"};
    printText(help, font, -1, 5, "controls", 2);
    for (int i = 0; i < 15; ++i) {
        printText(help, font, 5, 25 + 16 * i, Keys[i], 4);
        printText(help, font, 5, 25 + 16 * i, Lines[i], 3);
    }
    printText(help, font, 5, 275, "page 1 of 3", 3);
    printText(help, font, 540, 275, ".", 4);
    printText(help, font, 555, 275, "next", 3);
    printText(help, font, 590, 275, ",", 4);
    printText(help, font, 605, 275, "exit", 3);
    writePpm(out + "/help.ppm", help);

    Picture portraits(128, 256, 0);
    artgen::drawPortraits(portraits);
    writePpm(out + "/portraits.ppm", portraits);

    Picture drop, pointer;
    artgen::drawHudIcon(drop);
    artgen::drawGarageIcon(pointer);
    Picture icons(120, 40, 0);
    world(icons);
    for (int x = 60; x < 120; ++x)
        for (int y = 0; y < 40; ++y) icons.at(x, y) = uint8_t(100 + (x * 13 + y * 7) % 50);
    blit(icons, drop, 0, 0, 8, 8, 5, 5, false);
    blit(icons, drop, 0, 0, 8, 8, 20, 25, false);
    blit(icons, pointer, 0, 0, 16, 16, 35, 10, false);
    blit(icons, pointer, 0, 0, 16, 16, 80, 12, false);
    blit(icons, drop, 0, 0, 8, 8, 100, 5, false);
    writePpm(out + "/icons.ppm", icons);

    const int faults = checkArt(font, portraits, drop, pointer);
    std::printf("%d fault(s)\n", faults);
    return faults == 0 ? 0 : 1;
}
