// The cockpit: a worn dashboard seen from the driver's seat, 640 x 180, drawn at the
// bottom of the screen (screen row = picture row + 300). Everything above the dash
// line is windshield and stays transparent. The instruments sit exactly where the
// HUD draws its needle, digits, lamps, knob and minimap.
#include <algorithm>
#include <cmath>

#include "interface_art_canvas.h"

namespace artgen::ui {

namespace {

constexpr int Top = 300;  // screen row of picture row 0

// Instrument geometry in picture coordinates (screen y - 300).
constexpr float DialX = 233, DialY = 441 - Top, DialRadius = 40;   // speedometer
constexpr float SweepStart = 2.44159f, SweepLength = 4.712385f;      // 0 to 270
constexpr float WheelX = 293, WheelY = 570 - Top, WheelRadius = 210;  // knob path
constexpr float RimHalf = 7;                                          // rim thickness / 2

struct Box {
    int x0, y0, x1, y1;
};
constexpr Box FareWindow{573, 10, 638, 38};      // fare digits at y 14, score at y 26
constexpr Box TurboWindow{16, 31, 46, 49};       // turbo digits at (21, 36)
constexpr Box ClockWindow{274, 87, 316, 103};    // clock digits at (278, 91)
constexpr Box SpeedWindow{283, 158, 314, 174};   // speed digits at (287..288, 161..162)
constexpr Box LampA{284, 107, 295, 120};
constexpr Box LampB{297, 107, 308, 120};
constexpr Box MapScreen{540, 92, 639, 171};
constexpr Box PortraitSlot{0, 116, 63, 179};

const Rgb Plastic = rgb(36, 31, 40);
const Rgb PlasticLight = rgb(72, 64, 80);
const Rgb Chrome = rgb(170, 170, 180);
const Rgb ChromeDark = rgb(60, 60, 70);
const Rgb LcdBlack = rgb(6, 6, 10);

// The top edge of the dashboard: a gentle arch whose middle meets the windshield's
// bottom row (screen row 360).
float dashTop(float x) {
    float u = (x - 320.0f) / 320.0f;
    return 58.0f - 8.0f * u * u;
}

// The hood over the instrument cluster rises above the dash line.
float hoodTop(float x) {
    float u = (x - 252.0f) / 84.0f;
    return 42.0f + 18.0f * u * u;
}

void bezel(Canvas& cv, Box b, int width, Rgb light, Rgb dark) {
    for (int i = 0; i < width; ++i) {
        float t = width > 1 ? float(i) / float(width - 1) : 0.0f;
        Rgb top = mix(light, dark, t * 0.6f), bottom = mix(dark, light, t * 0.3f);
        for (int x = b.x0 - width + i; x <= b.x1 + width - i; ++x) {
            cv.put(x, b.y0 - width + i, top);
            cv.put(x, b.y1 + width - i, bottom);
        }
        for (int y = b.y0 - width + i; y <= b.y1 + width - i; ++y) {
            cv.put(b.x0 - width + i, y, mix(top, bottom, 0.5f));
            cv.put(b.x1 + width - i, y, mix(top, bottom, 0.7f));
        }
    }
}

// One unlit seven-segment digit of the ghost pattern that shows through a cheap LCD.
void ghostDigit(Canvas& cv, int x, int y, Rgb c) {
    for (int i = 1; i <= 3; ++i) {
        cv.put(x, y + i, c);
        cv.put(x + 5, y + i, c);
        cv.put(x, y + 4 + i, c);
        cv.put(x + 5, y + 4 + i, c);
    }
    for (int i = 1; i <= 4; ++i) {
        cv.put(x + i, y, c);
        cv.put(x + i, y + 4, c);
        cv.put(x + i, y + 8, c);
    }
}

void lcdWindow(Canvas& cv, Box b, int digitX, int digitY, int digits, Rgb ghost) {
    bezel(cv, b, 2, ChromeDark, rgb(12, 12, 14));
    fillRect(cv, b.x0, b.y0, b.x1, b.y1, LcdBlack);
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x) cv.put(x, y, mix(LcdBlack, ghost, 0.25f * float(b.y1 - y) / float(b.y1 - b.y0 + 1)));
    for (int i = 0; i < digits; ++i) ghostDigit(cv, digitX + 7 * i, digitY, ghost);
}

void paintDash(Canvas& cv) {
    for (int x = 0; x < cv.width; ++x) {
        float top = dashTop(float(x));
        for (int y = int(std::floor(top)); y < cv.height; ++y) {
            float depth = float(y) - top;
            float cover = std::clamp(depth + 1.0f, 0.0f, 1.0f);
            float grain = valueNoise(float(x), float(y), 3.0f, 11) * 0.5f + valueNoise(float(x), float(y), 23.0f, 12) * 0.5f;
            Rgb c;
            if (depth < 12) {
                // The padded top of the dash, worn vinyl catching the dusk light
                // through the glass, with a stitched seam.
                float t = depth / 12.0f;
                c = mix(rgb(92, 74, 88), rgb(46, 36, 44), t);
                if (int(depth) == 4 && (x / 3) % 2 == 0) c = scale(c, 0.6f);
                float crack = valueNoise(float(x), depth * 4.0f, 5.0f, 13);
                if (crack > 0.78f) c = scale(c, 0.75f);
            } else if (depth < 15) {
                c = mix(Chrome, ChromeDark, (depth - 12) / 3.0f);  // trim strip
            } else {
                float t = std::min((depth - 15) / 100.0f, 1.0f);
                c = mix(PlasticLight, Plastic, 0.5f + 0.5f * t);
                c = scale(c, 1.0f - 0.45f * t);
            }
            c = scale(c, 0.85f + 0.3f * grain);
            cv.blend(x, y, c, cover);
        }
    }
}

void paintHood(Canvas& cv) {
    for (int x = 168; x <= 336; ++x) {
        float top = hoodTop(float(x));
        float bottom = dashTop(float(x)) + 14;
        for (int y = int(std::floor(top)); y <= int(bottom); ++y) {
            float t = (float(y) - top) / std::max(bottom - top, 1.0f);
            float cover = std::clamp(float(y) - top + 1.0f, 0.0f, 1.0f);
            Rgb c = mix(rgb(78, 72, 92), rgb(28, 26, 34), std::sqrt(std::clamp(t, 0.0f, 1.0f)));
            cv.blend(x, y, scale(c, 0.9f + 0.2f * valueNoise(float(x), float(y), 2.5f, 21)), cover);
        }
    }
    // The cluster's recess under the hood.
    std::vector<float> recess = {182, 86, 322, 80, 330, 179, 178, 179};
    fillPolygon(cv, recess, rgb(16, 15, 20));
}

void paintSpeedometer(Canvas& cv) {
    fillCircle(cv, DialX, DialY, DialRadius + 6, rgb(20, 20, 24));
    fillRing(cv, DialX, DialY, DialRadius + 1, DialRadius + 5, ChromeDark);
    fillRing(cv, DialX, DialY, DialRadius + 2, DialRadius + 4, Chrome);
    for (int y = int(DialY - DialRadius - 1); y <= int(DialY + DialRadius + 1); ++y)
        for (int x = int(DialX - DialRadius - 1); x <= int(DialX + DialRadius + 1); ++x) {
            float d = std::hypot(x + 0.5f - DialX, y + 0.5f - DialY);
            if (d > DialRadius + 1) continue;
            float t = d / DialRadius;
            cv.put(x, y, mix(rgb(14, 30, 28), rgb(4, 6, 10), t));
        }
    // The dial reads in the units of the speed read-out beside it: the needle turns
    // three quarters of a turn from 0 at the lower left to 270 at the lower right.
    // Red zone from 225 to 270.
    for (int i = 0; i <= 120; ++i) {
        float a = SweepStart + SweepLength * (225.0f + 45.0f * float(i) / 120.0f) / 270.0f;
        for (float r = DialRadius - 5; r <= DialRadius - 2; r += 0.5f)
            cv.put(int(DialX + r * std::cos(a)), int(DialY + r * std::sin(a)), rgb(180, 30, 50));
    }
    // A tick every 15, a long one at every labelled 45.
    for (int v = 0; v <= 270; v += 15) {
        float a = SweepStart + SweepLength * float(v) / 270.0f;
        bool major = v % 45 == 0;
        float r0 = major ? DialRadius - 9 : DialRadius - 5;
        float c = std::cos(a), s = std::sin(a);
        stroke(cv, DialX + r0 * c, DialY + r0 * s, DialX + (DialRadius - 2) * c, DialY + (DialRadius - 2) * s, major ? 0.9f : 0.5f,
               v >= 225 ? rgb(250, 190, 190) : rgb(190, 230, 190));
    }
    const char* labels[] = {"0", "45", "90", "135", "180", "225", "270"};
    for (int i = 0; i < 7; ++i) {
        float a = SweepStart + SweepLength * float(45 * i) / 270.0f;
        int lx = int(std::lround(DialX + 23 * std::cos(a) - tinyTextWidth(labels[i]) / 2.0f));
        int ly = int(std::lround(DialY + 23 * std::sin(a) - 2.5f));
        tinyText(cv, lx, ly, labels[i], rgb(150, 200, 150));
    }
    tinyText(cv, int(DialX) - 5, int(DialY) + 14, "MPH", rgb(90, 120, 100));
    fillCircle(cv, DialX, DialY, 4.5f, ChromeDark);
    fillCircle(cv, DialX - 0.5f, DialY - 0.5f, 3.0f, Chrome);
}

void paintLamp(Canvas& cv, Box b, Rgb lit, Rgb hot, bool engine) {
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x) {
            float cx = (b.x0 + b.x1) * 0.5f, cy = (b.y0 + b.y1) * 0.5f;
            float d = std::hypot((x - cx) / 7.0f, (y - cy) / 8.0f);
            cv.put(x, y, mix(hot, lit, std::min(d, 1.0f)));
        }
    // The pictogram, one string per row of the lamp, '#' in dark ink.
    static const char* const engineIcon[14] = {
        "            ", "            ", "            ", "   ####     ", "    ##      ", "  #######   ", " ##     ### ",
        " #      #   ", " ##     ### ", "  #######   ", "            ", "            ", "            ", "            "};
    static const char* const heatIcon[14] = {
        "            ", "     ##     ", "     ## ##  ", "     ##     ", "     ## ##  ", "     ##     ", "     ## ##  ",
        "    ####    ", "    ####    ", "            ", " ##  ##  ## ", "#  ##  ##  #", "            ", "            "};
    const char* const* icon = engine ? engineIcon : heatIcon;
    for (int row = 0; row < 14 && b.y0 + row <= b.y1; ++row)
        for (int col = 0; col < 12 && b.x0 + col <= b.x1; ++col)
            if (icon[row][col] == '#') cv.put(b.x0 + col, b.y0 + row, rgb(40, 10, 4));
}

void paintCluster(Canvas& cv) {
    paintSpeedometer(cv);
    lcdWindow(cv, ClockWindow, 278, 91, 5, rgb(16, 9, 22));
    lcdWindow(cv, SpeedWindow, 287, 162, 3, rgb(20, 6, 12));
    bezel(cv, Box{LampA.x0, LampA.y0, LampB.x1, LampA.y1}, 2, ChromeDark, rgb(10, 10, 12));
    fillRect(cv, LampA.x1 + 1, LampA.y0, LampB.x0 - 1, LampA.y1, rgb(10, 10, 12));
    paintLamp(cv, LampA, rgb(200, 130, 30), rgb(250, 215, 110), true);
    paintLamp(cv, LampB, rgb(170, 20, 30), rgb(240, 90, 90), false);
}

void paintTurboPod(Canvas& cv) {
    std::vector<float> pod = {2, 60, 6, 22, 12, 16, 54, 16, 60, 22, 64, 60};
    fillPolygon(cv, pod, rgb(40, 38, 46));
    for (int x = 6; x <= 60; ++x) cv.put(x, 17, rgb(110, 104, 124));
    tinyText(cv, 21, 23, "BOOST", rgb(120, 120, 200));
    lcdWindow(cv, TurboWindow, 21, 36, 3, rgb(8, 8, 24));
}

void paintMeter(Canvas& cv) {
    // The taxi meter sits on the dash at the right; a checker band runs over it.
    fillRectVertical(cv, 562, 0, 639, 58, rgb(58, 54, 64), rgb(26, 24, 30));
    for (int y = 0; y <= 58; ++y) cv.put(562, y, rgb(90, 86, 100));
    for (int x = 562; x <= 639; ++x) cv.put(x, 0, rgb(120, 116, 130));
    for (int y = 2; y <= 7; ++y)
        for (int x = 564; x <= 639; ++x) cv.put(x, y, (((x - 564) / 3 + (y - 2) / 3) % 2) ? rgb(200, 170, 60) : rgb(16, 14, 12));
    lcdWindow(cv, FareWindow, 578, 14, 8, rgb(22, 5, 7));
    fillRect(cv, 573, 24, 638, 24, rgb(24, 8, 10));
    tinyText(cv, 566, 44, "FARE", rgb(150, 140, 110));
    tinyText(cv, 588, 44, "/", rgb(90, 86, 80));
    tinyText(cv, 594, 44, "TOTAL", rgb(150, 140, 110));
    for (int x = 566; x <= 636; x += 14) fillCircle(cv, float(x) + 4.5f, 53.5f, 2.0f, rgb(70, 66, 74));
}

void paintVent(Canvas& cv, int x0, int y0, int x1, int y1) {
    bezel(cv, Box{x0, y0, x1, y1}, 2, rgb(90, 88, 100), rgb(14, 14, 18));
    fillRect(cv, x0, y0, x1, y1, rgb(8, 8, 10));
    for (int y = y0 + 1; y <= y1; y += 4) {
        fillRect(cv, x0, y, x1, y, rgb(60, 58, 68));
        fillRect(cv, x0, y + 1, x1, y + 1, rgb(34, 32, 40));
    }
}

void paintRadio(Canvas& cv) {
    Box r{426, 72, 526, 110};
    bezel(cv, r, 3, rgb(130, 130, 140), rgb(20, 20, 24));
    fillRectVertical(cv, r.x0, r.y0, r.x1, r.y1, rgb(44, 42, 48), rgb(22, 22, 26));
    // Display, cassette door and knobs.
    fillRect(cv, 432, 77, 478, 89, rgb(10, 24, 14));
    glow(cv, 455, 83, 26, rgb(20, 60, 30), 0.8f);
    tinyText(cv, 436, 81, "FM 88.7", rgb(110, 210, 120));
    fillRect(cv, 484, 77, 520, 89, rgb(14, 14, 16));
    fillRect(cv, 487, 82, 517, 84, rgb(50, 48, 56));
    fillCircle(cv, 438, 100, 5, Chrome);
    fillCircle(cv, 438, 100, 2.5f, ChromeDark);
    fillCircle(cv, 514, 100, 5, Chrome);
    fillCircle(cv, 514, 100, 2.5f, ChromeDark);
    for (int i = 0; i < 4; ++i) fillRect(cv, 450 + i * 14, 96, 460 + i * 14, 104, i == 1 ? rgb(120, 116, 130) : rgb(76, 74, 84));
}

void paintPortraitSlot(Canvas& cv) {
    Box b = PortraitSlot;
    bezel(cv, b, 4, rgb(150, 150, 160), rgb(30, 30, 36));
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x) {
            float t = float(y - b.y0) / 63.0f;
            cv.put(x, y, mix(rgb(30, 30, 48), rgb(12, 12, 20), t));
        }
    // An empty seat: a faint head-and-shoulders outline on the licence card.
    Rgb ghost = rgb(40, 40, 62);
    fillCircle(cv, 32, b.y0 + 24, 11, ghost);
    std::vector<float> shoulders = {10, 179, 14, 156, 24, 148, 40, 148, 50, 156, 54, 179};
    fillPolygon(cv, shoulders, ghost);
    tinyText(cv, 4, b.y0 + 3, "NO FARE", rgb(70, 70, 96));
}

void paintMapScreen(Canvas& cv) {
    Box b = MapScreen;
    bezel(cv, b, 6, rgb(120, 118, 132), rgb(22, 22, 28));
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x) {
            float scan = (y & 1) ? 1.0f : 0.8f;
            cv.put(x, y, scale(rgb(8, 16, 18), scan));
        }
    tinyText(cv, 620, 86, "NAV", rgb(150, 146, 160));
}

void paintWheel(Canvas& cv) {
    float r0 = WheelRadius - RimHalf - 1, r1 = WheelRadius + RimHalf + 1;
    // Shadow on the dash just outside the rim.
    for (int y = 0; y < cv.height; ++y)
        for (int x = 0; x < cv.width; ++x) {
            float d = std::hypot(x + 0.5f - WheelX, y + 0.5f - WheelY);
            if (d > r1 && d < r1 + 8) cv.darken(x, y, 0.6f + 0.05f * (d - r1));
        }
    for (int y = 0; y < cv.height; ++y)
        for (int x = 0; x < cv.width; ++x) {
            float dx = x + 0.5f - WheelX, dy = y + 0.5f - WheelY;
            float d = std::hypot(dx, dy);
            if (d < r0 - 1 || d > r1 + 1) continue;
            float cover = std::clamp(std::min(d - r0 + 0.5f, r1 - d + 0.5f), 0.0f, 1.0f);
            float n = std::clamp((d - WheelRadius) / (RimHalf + 1), -1.0f, 1.0f);  // across the rim
            float up = -dy / d;                                                      // 1 at the top
            float facing = std::sqrt(1 - n * n);
            float light = 0.18f + 0.5f * facing * (0.6f + 0.4f * up) + 0.25f * std::max(0.0f, 1.0f - std::abs(n + 0.35f) * 5.0f);
            Rgb c = scale(rgb(58, 46, 44), light * 1.6f);
            // Finger grips on the inner side and stitches along the middle.
            float ang = std::atan2(dy, dx);
            float groove = std::fmod(ang * WheelRadius / 9.0f + 1000.0f, 1.0f);
            if (n < -0.55f && groove < 0.2f) c = scale(c, 0.55f);
            if (std::abs(n - 0.15f) < 0.12f && std::fmod(ang * WheelRadius / 3.0f + 1000.0f, 1.0f) < 0.5f) c = scale(c, 0.7f);
            cv.blend(x, y, c, cover);
        }
}

// A bobbing hula dancer glued to the dash top, a driver's lucky charm.
void paintCharm(Canvas& cv) {
    float x = 488, base = dashTop(488) + 2;
    fillRect(cv, int(x) - 7, int(base) - 3, int(x) + 7, int(base) + 1, rgb(30, 26, 30));   // stand
    fillRect(cv, int(x) - 6, int(base) - 4, int(x) + 6, int(base) - 4, rgb(80, 70, 76));
    stroke(cv, x, base - 4, x, base - 10, 1.6f, rgb(150, 100, 70));                         // legs
    for (int i = -5; i <= 5; i += 2) stroke(cv, x + i * 0.5f, base - 16, x + i, base - 9, 0.7f, rgb(70, 140, 60));  // grass skirt
    fillPolygon(cv, {x - 3, base - 17, x + 3, base - 17, x + 2, base - 24, x - 2, base - 24}, rgb(170, 110, 80));  // body
    stroke(cv, x - 2, base - 22, x - 7, base - 27, 1.0f, rgb(170, 110, 80));                 // arms up
    stroke(cv, x + 2, base - 22, x + 7, base - 27, 1.0f, rgb(170, 110, 80));
    fillCircle(cv, x, base - 28, 3.2f, rgb(170, 110, 80));                                 // head
    fillRect(cv, int(x) - 3, int(base) - 32, int(x) + 3, int(base) - 30, rgb(20, 14, 16));  // hair
    fillCircle(cv, x + 3, base - 31, 1.3f, rgb(230, 70, 110));                             // flower
    fillRect(cv, int(x) - 3, int(base) - 21, int(x) + 3, int(base) - 20, rgb(230, 70, 110));
}

// Ignition with the key and its tag, the hazard switch, and the glovebox lid.
void paintSwitchgear(Canvas& cv) {
    fillCircle(cv, 160, 122, 7, ChromeDark);
    fillRing(cv, 160, 122, 5, 6.5f, Chrome);
    fillRect(cv, 158, 116, 162, 128, rgb(150, 150, 160));    // key head
    stroke(cv, 160, 128, 163, 146, 0.6f, rgb(120, 120, 130));  // key ring chain
    fillRect(cv, 159, 146, 168, 158, rgb(200, 160, 50));      // tag
    tinyText(cv, 161, 149, "7", rgb(40, 24, 10));
    // Hazard switch: a red triangle on a dark button.
    fillRect(cv, 338, 118, 358, 134, rgb(14, 14, 16));
    fillRect(cv, 339, 119, 357, 133, rgb(40, 38, 44));
    fillPolygon(cv, {348, 120.5f, 355.5f, 132, 340.5f, 132}, rgb(210, 40, 50));
    fillPolygon(cv, {348, 124.5f, 352.5f, 130, 343.5f, 130}, rgb(40, 38, 44));
    // Glovebox lid with its lock.
    for (int x = 432; x <= 528; ++x) {
        cv.put(x, 126, rgb(18, 16, 22));
        cv.put(x, 127, rgb(64, 58, 72));
    }
    for (int y = 126; y <= 179; ++y) {
        cv.put(432, y, rgb(18, 16, 22));
        cv.put(433, y, rgb(64, 58, 72));
    }
    fillRect(cv, 470, 134, 490, 138, ChromeDark);
    fillRect(cv, 471, 135, 489, 137, Chrome);
}

}  // namespace

void drawCockpit(Picture& pic) {
    Canvas cv(640, 180);
    paintDash(cv);
    paintHood(cv);
    paintTurboPod(cv);
    paintMeter(cv);
    paintVent(cv, 80, 72, 164, 98);
    paintVent(cv, 340, 70, 408, 92);
    paintRadio(cv);
    paintCharm(cv);
    paintSwitchgear(cv);
    paintCluster(cv);
    paintPortraitSlot(cv);
    paintMapScreen(cv);
    paintWheel(cv);
    quantize(cv, pic, 0, 0, 10.0f);
}

}  // namespace artgen::ui
