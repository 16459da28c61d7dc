// The six vehicle sheets, 256 x 42 each: texels 0..63 the rear view, 64..191 the side
// view (rear end on the left, front on the right), 192..255 the front view. The world view
// stretches the 42 rows over a car's height standing on the ground, so texels are shown
// about a quarter taller than wide (a half taller for the tall van); wheels are drawn as
// ellipses accordingly. Background texels stay 0 so the street shows round the car.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "world_art.h"

namespace artgen::world {

namespace {

enum class Extra { None, TaxiSign, PoliceBar, CargoSign };

struct CarStyle {
    int roofTop;      // first row of the roof
    int deckRow;      // top of the boot lid (rear end)
    int hoodRow;      // top of the bonnet (front end)
    int beltRow;      // bottom of the side windows
    int sillRow;      // last row of the body
    int rearGlassX;   // side view: where the rear window slope meets the deck
    int roofStartX, roofEndX;
    int screenBaseX;  // where the windscreen meets the bonnet
    int wheelRearX, wheelFrontX;
    int wheelRy;
    float wheelAspect;
    uint8_t body[5];  // dark to light
    uint8_t trim;     // bumpers and mouldings
    Extra extra;
    bool windowlessCargo;  // van: no side windows behind the cab
};

constexpr uint8_t GlassTint[] = {190, 206, 208, 212, 213, 199};

template <size_t N>
uint8_t rampPick(const uint8_t (&r)[N], float t) {
    return rampAt(r, int(N), t);
}

uint8_t bodyShade(const CarStyle& s, float t) { return rampAt(s.body, 5, t); }

bool isBody(const CarStyle& s, uint8_t c) { return std::find(s.body, s.body + 5, c) != s.body + 5; }

// Top edge of the side silhouette at column x (0 = rear end, 127 = front end).
int sideTop(const CarStyle& s, int x) {
    int top;
    if (x < s.rearGlassX) {
        top = s.deckRow;
    } else if (x < s.roofStartX) {
        const float f = float(x - s.rearGlassX) / float(std::max(1, s.roofStartX - s.rearGlassX));
        top = int(std::lround(float(s.deckRow) + (float(s.roofTop) - float(s.deckRow)) * f));
    } else if (x <= s.roofEndX) {
        top = s.roofTop;
    } else if (x <= s.screenBaseX) {
        const float f = float(x - s.roofEndX) / float(std::max(1, s.screenBaseX - s.roofEndX));
        top = int(std::lround(float(s.roofTop) + (float(s.hoodRow) - float(s.roofTop)) * f));
    } else {
        top = s.hoodRow;
    }
    // Rounded corners at both ends.
    if (x < 3) top = std::max(top, s.deckRow + 3 - x);
    if (x > 124) top = std::max(top, s.hoodRow + x - 124);
    return top;
}

void ellipse(Canvas& c, int cx, int cy, float rx, float ry, uint8_t colour) {
    for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; ++y)
        for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
            const float dx = float(x - cx) / rx, dy = float(y - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f) c.put(x, y, colour);
        }
}

void wheel(Canvas& c, int cx, int cy, int ry, float aspect) {
    const float fry = float(ry), frx = fry * aspect;
    ellipse(c, cx, cy, frx, fry, 2);
    ellipse(c, cx, cy, frx - 1.0f, fry - 1.0f, 28);
    ellipse(c, cx, cy, frx * 0.5f, fry * 0.5f, 12);
    ellipse(c, cx, cy, frx * 0.25f, fry * 0.25f, 9);
    c.put(cx - 1, cy - 1, 15);
}

void drawSide(Canvas& c, const CarStyle& s, int ox) {
    const int wheelCy = 41 - s.wheelRy;
    // Underbody shadow between the wheels.
    c.fill(ox + 8, s.sillRow + 1, ox + 119, std::min(41, s.sillRow + 3), 28);
    for (int x = 0; x < 128; ++x) {
        const int top = sideTop(s, x);
        for (int y = top; y <= s.sillRow; ++y) {
            uint8_t col;
            if (y < s.beltRow) {
                // Greenhouse: glass inset from the silhouette, pillars in body colour.
                const bool glassArea = y > top + 1 && sideTop(s, x - 2) < y && sideTop(s, x + 2) < y &&
                                       !(s.windowlessCargo && x < s.roofEndX - 18);
                if (glassArea) {
                    const float f = float(y - s.roofTop) / float(std::max(1, s.beltRow - s.roofTop));
                    col = rampPick(GlassTint, 0.1f + 0.85f * f);
                    if ((x + y) % 23 == 0) col = 201;
                } else {
                    col = bodyShade(s, y == top ? 1.0f : 0.7f);
                }
            } else if (y == s.beltRow) {
                col = s.trim;
            } else {
                const float f = float(y - s.beltRow) / float(std::max(1, s.sillRow - s.beltRow));
                col = bodyShade(s, f < 0.25f ? 0.95f : 0.75f - 0.6f * f);
                if (y == s.sillRow) col = s.body[0];
            }
            c.put(ox + x, y, col);
        }
    }
    // B pillar between the doors and door seams.
    const int bPillar = (s.roofStartX + s.roofEndX) / 2 + 4;
    if (!s.windowlessCargo) c.fill(ox + bPillar - 1, s.roofTop + 1, ox + bPillar + 1, s.beltRow - 1, s.body[1]);
    for (int seam : {s.roofStartX - 4, bPillar + 1, s.screenBaseX - 4}) {
        if (s.windowlessCargo && seam == bPillar + 1) continue;
        c.vline(ox + seam, s.beltRow + 1, s.sillRow - 2, s.body[0]);
    }
    c.fill(ox + bPillar - 6, s.beltRow + 3, ox + bPillar - 4, s.beltRow + 3, 13);
    c.fill(ox + s.screenBaseX - 12, s.beltRow + 3, ox + s.screenBaseX - 10, s.beltRow + 3, 13);
    // Bumpers, lights and mirror.
    c.fill(ox, s.sillRow - 4, ox + 3, s.sillRow - 1, s.trim);
    c.fill(ox + 124, s.sillRow - 4, ox + 127, s.sillRow - 1, s.trim);
    c.fill(ox, s.deckRow + 2, ox + 2, s.deckRow + 5, 178);
    c.put(ox, s.deckRow + 2, 182);
    c.fill(ox + 125, s.hoodRow + 2, ox + 127, s.hoodRow + 4, 235);
    c.put(ox + 127, s.hoodRow + 3, 22);
    c.fill(ox + s.roofEndX + 2, s.beltRow - 3, ox + s.roofEndX + 4, s.beltRow - 1, s.body[1]);
    // Wheel arches and wheels.
    for (int wx : {s.wheelRearX, s.wheelFrontX}) {
        ellipse(c, ox + wx, wheelCy, float(s.wheelRy + 2) * s.wheelAspect, float(s.wheelRy + 2), 1);
        for (int y = wheelCy + s.wheelRy + 1; y <= 41; ++y)
            for (int x = wx - int(s.wheelAspect * float(s.wheelRy + 3)); x <= wx + int(s.wheelAspect * float(s.wheelRy + 3)); ++x)
                if (c.get(ox + x, y) == 1) c.put(ox + x, y, 0);
        wheel(c, ox + wx, wheelCy, s.wheelRy, s.wheelAspect);
    }
}

// Rear (front = false) or front view, 64 texels wide, symmetric.
void drawEnd(Canvas& c, const CarStyle& s, int ox, bool front) {
    const int endRow = front ? s.hoodRow : s.deckRow;
    const int bodyL = 5, bodyR = 58;
    // Tyres under the body.
    for (int x : {bodyL + 1, bodyR - 9}) c.fill(ox + x, s.sillRow - 2, ox + x + 8, 41, 2);
    c.fill(ox + bodyL + 10, s.sillRow + 1, ox + bodyR - 10, std::min(41, s.sillRow + 3), 28);
    for (int y = s.roofTop; y <= s.sillRow; ++y) {
        // The greenhouse narrows towards the roof.
        int inset = 0;
        if (y < s.beltRow)
            inset = s.windowlessCargo ? 2 : 4 + (s.beltRow - y) * 7 / std::max(1, s.beltRow - s.roofTop);
        for (int x = bodyL + inset; x <= bodyR - inset; ++x) {
            const float edge = float(std::min(x - bodyL, bodyR - x)) / 8.0f;
            uint8_t col;
            if (y < s.beltRow) {
                const int glassTop = s.windowlessCargo ? s.roofTop + 5 : s.roofTop + 1;
                const bool glassArea = y > glassTop && y < s.beltRow - 1 && x > bodyL + inset + 2 && x < bodyR - inset - 2;
                const bool vanRear = s.windowlessCargo && !front;
                if (glassArea && (!vanRear || (y > s.roofTop + 3 && y < s.roofTop + 11 && std::abs(x - 31) > 1))) {
                    const float f = float(y - s.roofTop) / float(std::max(1, s.beltRow - s.roofTop));
                    col = rampPick(GlassTint, 0.15f + 0.8f * f);
                } else {
                    col = bodyShade(s, y == s.roofTop ? 1.0f : 0.7f);
                }
            } else if (y == s.beltRow) {
                col = s.trim;
            } else {
                const float f = float(y - s.beltRow) / float(std::max(1, s.sillRow - s.beltRow));
                col = bodyShade(s, std::min(1.0f, edge) * (0.95f - 0.55f * f) + 0.05f);
            }
            c.put(ox + x, y, col);
        }
    }
    const int lightRow = std::max(s.beltRow + 2, endRow + 2);
    if (front) {
        // Headlights, grille, bumper, indicators.
        for (int x : {bodyL + 2, bodyR - 11}) {
            c.fill(ox + x, lightRow, ox + x + 9, lightRow + 4, 235);
            c.fill(ox + x + 2, lightRow + 1, ox + x + 7, lightRow + 3, 22);
            c.put(ox + (x < 32 ? x : x + 9), lightRow + 5, 232);
        }
        c.fill(ox + 18, lightRow, ox + 45, lightRow + 5, 29);
        for (int x = 19; x <= 44; x += 3) c.vline(ox + x, lightRow + 1, lightRow + 4, 13);
        c.fill(ox + bodyL, s.sillRow - 4, ox + bodyR, s.sillRow - 1, s.trim);
        c.fill(ox + 26, s.sillRow - 4, ox + 37, s.sillRow - 2, 37);
    } else {
        // Tail lights, boot lid line, number plate, bumper, exhaust.
        for (int x : {bodyL + 1, bodyR - 9}) {
            c.fill(ox + x, lightRow, ox + x + 8, lightRow + 4, 178);
            c.fill(ox + x + 1, lightRow + 1, ox + x + 7, lightRow + 2, 180);
            c.fill(ox + x + (x < 32 ? 6 : 0), lightRow + 3, ox + x + (x < 32 ? 8 : 2), lightRow + 4, 232);
        }
        if (s.windowlessCargo) c.vline(ox + 31, s.roofTop + 2, s.sillRow - 5, s.body[0]);
        else c.hline(ox + bodyL + 10, ox + bodyR - 10, lightRow - 1, s.body[1]);
        c.fill(ox + 25, lightRow + 6, ox + 38, lightRow + 10, 37);
        c.hline(ox + 27, ox + 36, lightRow + 8, 28);
        c.fill(ox + bodyL, s.sillRow - 3, ox + bodyR, s.sillRow - 1, s.trim);
        c.fill(ox + 12, s.sillRow, ox + 15, s.sillRow + 1, 33);
    }
}

void drawExtras(Canvas& c, const CarStyle& s) {
    switch (s.extra) {
    case Extra::None: break;
    case Extra::TaxiSign: {
        // Roof sign on every view and a chequered band along the side. The side view is
        // seen from both sides, one of them mirrored, so the side of the sign carries a
        // chequer mirrored about its middle instead of the word.
        const int top = s.roofTop - 5;
        c.fill(64 + 57, top, 64 + 75, s.roofTop - 1, 235);
        for (int x = 64 + 58; x <= 64 + 74; ++x)
            for (int y = top + 1; y <= s.roofTop - 2; ++y)
                if (((std::abs(x - (64 + 66)) + 1) / 2 + y) & 1) c.put(x, y, 30);
        for (int ox : {0, 192}) {
            c.fill(ox + 22, top, ox + 41, s.roofTop - 1, 235);
            drawSignText(c, ox + 24, top, "TAXI", 1, 30);
        }
        for (int x = 64 + 4; x < 64 + 124; ++x)
            for (int y = s.beltRow + 6; y <= s.beltRow + 7; ++y)
                if (isBody(s, c.get(x, y))) c.put(x, y, ((x / 2 + y) & 1) ? 255 : 19);
        break;
    }
    case Extra::PoliceBar: {
        for (int ox : {0, 192}) {
            c.fill(ox + 20, s.roofTop - 3, ox + 31, s.roofTop - 1, 202);
            c.fill(ox + 32, s.roofTop - 3, ox + 43, s.roofTop - 1, 178);
        }
        c.fill(64 + 56, s.roofTop - 3, 64 + 65, s.roofTop - 1, 202);
        c.fill(64 + 66, s.roofTop - 3, 64 + 75, s.roofTop - 1, 178);
        // White doors.
        for (int x = 64 + s.rearGlassX; x < 64 + s.screenBaseX; ++x)
            for (int y = s.beltRow + 1; y < s.sillRow - 1; ++y)
                if (isBody(s, c.get(x, y)) && c.get(x, y) != s.body[0]) c.put(x, y, y < s.beltRow + 4 ? 20 : 17);
        break;
    }
    case Extra::CargoSign: {
        // A coloured stripe and lettering along the cargo box.
        for (int x = 64 + 4; x < 64 + 124; ++x)
            for (int y = s.beltRow + 5; y <= s.beltRow + 8; ++y)
                if (isBody(s, c.get(x, y))) c.put(x, y, y == s.beltRow + 5 ? 178 : 176);
        // The cargo box's emblem: a diamond between two bars, mirrored about its
        // middle like the rest of the side, so that it reads the same from either side
        // (lettering would read backwards from one of them).
        const int cx = 64 + 40, cy = s.roofTop + 10;
        for (int x = cx - 30; x <= cx + 30; ++x) {
            for (int y = cy - 5; y <= cy + 5; ++y) {
                const int dx = std::abs(x - cx), dy = std::abs(y - cy);
                if (dx * 5 + dy * 10 <= 50) c.put(x, y, dx * 3 + dy * 6 <= 18 ? 235 : 171);
                else if (dx >= 13 && dy <= 1) c.put(x, y, dy == 0 ? 176 : 171);
            }
        }
        break;
    }
    }
}

CarStyle styleFor(int model) {
    switch (model) {
    case 1:  // family saloon, steel blue
        return {10, 20, 21, 20, 36, 20, 38, 72, 92, 22, 104, 7, 1.27f, {198, 199, 200, 201, 203}, 33, Extra::None, false};
    case 2:  // small hatchback, dark red
        return {9, 14, 22, 20, 36, 6, 14, 66, 88, 20, 104, 7, 1.27f, {169, 170, 171, 172, 180}, 30, Extra::None, false};
    case 3:  // estate car, olive green
        return {10, 12, 21, 20, 36, 3, 8, 78, 94, 22, 104, 7, 1.27f, {116, 117, 118, 119, 120}, 33, Extra::None, false};
    case 4:  // a rival cab
        return {12, 21, 22, 21, 36, 20, 40, 72, 92, 22, 104, 7, 1.27f, {230, 232, 233, 234, 235}, 30, Extra::TaxiSign, false};
    case 5:  // delivery van, the tall one
        return {1, 2, 17, 19, 35, 1, 2, 98, 112, 20, 106, 6, 1.55f, {10, 12, 13, 15, 18}, 32, Extra::CargoSign, true};
    default:  // patrol car
        return {11, 20, 21, 20, 36, 20, 38, 72, 92, 22, 104, 7, 1.27f, {28, 29, 30, 31, 33}, 13, Extra::PoliceBar, false};
    }
}

}  // namespace

void drawVehicleSheet(int model, Canvas& sheet) {
    const CarStyle s = styleFor(model);
    drawEnd(sheet, s, 0, false);
    drawSide(sheet, s, 64);
    drawEnd(sheet, s, 192, true);
    drawExtras(sheet, s);
}

}  // namespace artgen::world
