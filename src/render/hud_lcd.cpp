// The cockpit's seven-segment read-outs and the texts they show.
#include <cmath>
#include <string>

#include "render/hud.h"

namespace hc {

namespace {

// Strokes of a 6 x 9 cell as (x1, y1, x2, y2) from the cell's top-left corner, in
// mask bit order.
struct Stroke {
    int x1, y1, x2, y2;
};
constexpr Stroke Strokes[7] = {
    {0, 1, 0, 3},  // upper left
    {1, 0, 4, 0},  // top
    {5, 1, 5, 3},  // upper right
    {5, 5, 5, 7},  // lower right
    {1, 8, 4, 8},  // bottom
    {0, 5, 0, 7},  // lower left
    {1, 4, 4, 4},  // middle
};

}  // namespace

uint8_t lcdSegmentMask(char c) {
    switch (c) {
        case ' ': return 0;
        case '0': case 'o': return 63;
        case '1': case 'i': return 12;
        case '2': case 'z': return 118;
        case '3': return 94;
        case '4': return 77;
        case '5': case 's': return 91;
        case '6': case 'g': return 123;
        case '7': return 14;
        case '8': return 127;
        case '9': return 95;
        case '_': return 16;
        case 'a': return 111;
        case 'b': return 121;
        case 'c': return 51;
        case 'd': return 124;
        case 'e': return 115;
        case 'f': return 99;
        case 'h': case 'k': return 109;
        case 'j': return 60;
        case 'l': return 49;
        case 'm': return 47;
        case 'n': return 104;
        case 'p': return 103;
        case 'q': return 79;
        case 'r': return 96;
        case 't': return 113;
        case 'u': return 61;
        case 'v': return 60;
        case 'w': return 56;
        case 'x': return 100;
        case 'y': return 93;
        case '.': case ',': return 32;
        default: return 64;
    }
}

void drawLcdChar(Image& target, int x, int y, char c, int colour) {
    const auto ink = static_cast<uint32_t>(colour);
    if (c == ':') {
        plotPixel(target, x + 2, y + 3, ink);
        plotPixel(target, x + 2, y + 6, ink);
        return;
    }
    const uint8_t mask = lcdSegmentMask(c);
    for (int bit = 0; bit < 7; ++bit) {
        if ((mask >> bit) & 1) {
            const Stroke& s = Strokes[bit];
            drawLine(target, x + s.x1, y + s.y1, x + s.x2, y + s.y2, ink);
        }
    }
}

void drawLcdText(Image& target, int x, int y, std::string_view text, int colour) {
    for (char c : text) {
        drawLcdChar(target, x, y, c, colour);
        x += 7;
    }
}

std::string zeroPad(std::string text, int n) {
    if (static_cast<int>(text.size()) < n) text.insert(0, static_cast<size_t>(n) - text.size(), '0');
    return text;
}

std::string clockText(int64_t minutesLeft, double secondsLeft) {
    const auto seconds = static_cast<int64_t>(std::floor(secondsLeft));
    return zeroPad(std::to_string(minutesLeft), 2) + ":" + zeroPad(std::to_string(seconds), 2);
}

std::string turboText(float turboBoost) {
    const auto tenths = static_cast<int64_t>(std::floor(10.0 * static_cast<double>(turboBoost)));
    const std::string d = zeroPad(std::to_string(tenths), 2);
    return std::string(1, d.front()) + "." + d.back();
}

int speedValue(float bodySpeed, bool engineRunning, bool reverseGear) {
    if (!engineRunning || reverseGear) return 0;
    const double s = std::floor(static_cast<double>(bodySpeed) * 200.0);
    // A wrecked simulation could hand over a huge or undefined speed: keep the read-out
    // and the needle finite.
    if (!(s >= 0.0)) return 0;
    return s > 99999.0 ? 99999 : static_cast<int>(s);
}

std::string speedText(float bodySpeed, bool engineRunning, bool reverseGear) {
    if (!engineRunning) return "";
    if (reverseGear) return " r ";
    return zeroPad(std::to_string(speedValue(bodySpeed, true, false)), 3);
}

double needleAngle(int speed) {
    return 2.44159 + std::abs(speed) / 270.0 * 4.712385;
}

}  // namespace hc
