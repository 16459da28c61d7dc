// The garage, 640 x 320: a cramped workshop whose ten services each have an object
// at the spot where the garage's pointer lands (the pointer's top-left corner is put
// on the spot, so every object sits around its spot).
#include <algorithm>
#include <cmath>

#include "interface_art_canvas.h"

namespace artgen::ui {

namespace {

constexpr int FloorY = 205;  // where the back wall meets the floor

const Rgb Ink = rgb(14, 10, 16);
const Rgb TaxiYellow = rgb(215, 170, 50);
const Rgb Steel = rgb(150, 150, 162);
const Rgb SteelDark = rgb(70, 70, 82);

void outlineRect(Canvas& cv, int x0, int y0, int x1, int y1, Rgb c) {
    fillRect(cv, x0, y0, x1, y0, c);
    fillRect(cv, x0, y1, x1, y1, c);
    fillRect(cv, x0, y0, x0, y1, c);
    fillRect(cv, x1, y0, x1, y1, c);
}

void paintRoom(Canvas& cv) {
    // Cinder-block back wall, grimy towards the floor.
    for (int y = 0; y < FloorY; ++y)
        for (int x = 0; x < cv.width; ++x) {
            int row = y / 12, bx = (x + (row & 1) * 16) % 32;
            bool joint = (y % 12 == 0) || bx == 0;
            float grime = valueNoise(float(x), float(y), 18.0f, 3) * 0.5f + 0.5f * float(y) / FloorY;
            Rgb c = mix(rgb(92, 76, 86), rgb(48, 38, 50), grime);
            c = scale(c, 0.9f + 0.2f * valueNoise(float(x), float(y), 2.0f, 4));
            if (joint) c = scale(c, 0.7f);
            cv.put(x, y, c);
        }
    // Ceiling beam.
    fillRectVertical(cv, 0, 0, 639, 14, rgb(40, 34, 44), rgb(60, 52, 62));
    fillRect(cv, 0, 15, 639, 15, rgb(24, 20, 28));
    // Concrete floor with a painted bay line and oil stains.
    for (int y = FloorY; y < cv.height; ++y) {
        float t = float(y - FloorY) / float(cv.height - FloorY);
        for (int x = 0; x < cv.width; ++x) {
            Rgb c = mix(rgb(70, 62, 72), rgb(58, 52, 62), t);
            c = scale(c, 0.88f + 0.24f * valueNoise(float(x), float(y) * 2.5f, 6.0f, 5));
            float oil = valueNoise(float(x), float(y) * 2.0f, 40.0f, 6);
            if (oil > 0.7f) c = scale(c, 1.0f - (oil - 0.7f) * 1.8f);
            float u = (x - 320.0f) / (0.4f + t);  // floor coordinate across, in perspective
            if (std::abs(std::abs(u) - 300.0f) < 4.0f + 6.0f * t) c = mix(c, TaxiYellow, 0.6f);
            cv.put(x, y, c);
        }
    }
    fillRect(cv, 0, FloorY, 639, FloorY + 1, rgb(40, 34, 42));
}

void paintLamps(Canvas& cv) {
    for (int cx : {250, 470}) {
        fillRect(cv, cx - 50, 16, cx + 50, 21, rgb(40, 40, 46));
        fillRect(cv, cx - 46, 22, cx + 46, 24, rgb(250, 250, 230));
        for (int y = 25; y < cv.height; ++y)
            for (int x = cx - 160; x <= cx + 160; ++x) {
                if (!cv.inside(x, y)) continue;
                float spread = 46.0f + (y - 25) * 0.7f;
                float k = std::clamp(1.0f - std::abs(x - cx) / spread, 0.0f, 1.0f) * 0.3f * (1.0f - y / 400.0f);
                size_t i = size_t(y) * cv.width + x;
                cv.colour[i] = add(cv.colour[i], scale(rgb(255, 230, 180), k));
            }
    }
}

// "Go to work": the roller door, raised a little so the dusk street glows under it.
void paintRollerDoor(Canvas& cv) {
    fillRect(cv, 106, 26, 230, FloorY, rgb(36, 32, 40));
    for (int y = 30; y < 176; ++y) {
        float ridge = std::fmod(float(y - 30), 7.0f) / 7.0f;
        Rgb c = mix(rgb(150, 146, 156), rgb(84, 80, 94), ridge);
        c = scale(c, 0.85f + 0.2f * valueNoise(0, float(y), 9.0f, 7));
        for (int x = 112; x <= 224; ++x) cv.put(x, y, scale(c, 0.9f + 0.15f * valueNoise(float(x), float(y), 5.0f, 8)));
    }
    fillRect(cv, 112, 174, 224, 177, rgb(50, 46, 56));  // bottom bar
    fillRect(cv, 160, 168, 176, 171, rgb(30, 28, 34));  // handle
    // The street outside.
    fillRectVertical(cv, 112, 178, 224, FloorY, rgb(210, 80, 100), rgb(120, 40, 80));
    for (int x = 112; x <= 224; x += 9) fillRect(cv, x, 184, x + 5, FloorY, rgb(50, 24, 50));
    // Light spilling in across the floor.
    for (int y = FloorY; y < cv.height; ++y) {
        float t = float(y - FloorY) / 60.0f;
        for (int x = int(112 - 40 * t); x <= int(224 + 40 * t); ++x) {
            if (!cv.inside(x, y)) continue;
            size_t i = size_t(y) * cv.width + x;
            cv.colour[i] = add(cv.colour[i], scale(rgb(120, 40, 60), 0.5f * std::max(0.0f, 1.0f - t * 0.5f)));
        }
    }
    tinyText(cv, 140, 60, "KEEP CLEAR", rgb(230, 190, 70), 1);
}

// "Save and exit": a lit exit sign over the side door.
void paintExit(Canvas& cv) {
    fillRect(cv, 574, 76, 634, FloorY, rgb(58, 48, 52));
    fillRect(cv, 578, 80, 630, FloorY, rgb(96, 80, 70));
    fillRect(cv, 580, 82, 603, FloorY - 2, rgb(110, 92, 80));
    fillRect(cv, 605, 82, 628, FloorY - 2, rgb(110, 92, 80));
    fillCircle(cv, 600, 142, 2, Steel);
    glow(cv, 604, 58, 34, rgb(60, 160, 60), 0.9f);
    fillRect(cv, 584, 47, 626, 67, Ink);
    fillRect(cv, 586, 49, 624, 65, rgb(40, 170, 70));
    tinyText(cv, 590, 52, "EXIT", rgb(235, 255, 235), 2);
}

// "Upgrade: radiator/cooling": a new radiator hanging on the wall.
void paintRadiator(Canvas& cv) {
    fillRect(cv, 304, 64, 362, 110, Ink);
    fillRect(cv, 306, 66, 360, 72, SteelDark);
    fillRect(cv, 306, 102, 360, 108, SteelDark);
    for (int x = 306; x <= 360; ++x)
        for (int y = 73; y <= 101; ++y) cv.put(x, y, (x % 3 == 0) ? rgb(40, 40, 50) : mix(rgb(190, 190, 205), rgb(110, 110, 125), float(y - 73) / 28.0f));
    fillCircle(cv, 316, 69, 2.5f, Steel);
    stroke(cv, 360, 100, 370, 112, 2.0f, rgb(30, 30, 34));  // hose
    stroke(cv, 332, 64, 332, 40, 0.6f, rgb(40, 36, 40));    // hanging wire
    tinyText(cv, 322, 112, "NEW", rgb(230, 200, 80));
}

// The workbench with its pegboard and shelf.
void paintBench(Canvas& cv) {
    fillRect(cv, 250, 118, 380, 175, rgb(120, 90, 60));
    for (int y = 122; y < 175; y += 6)
        for (int x = 254; x < 380; x += 6) cv.put(x, y, rgb(60, 44, 30));
    // Tools on the pegboard.
    stroke(cv, 262, 128, 262, 160, 1.5f, Steel);
    fillRect(cv, 257, 126, 267, 130, Steel);  // hammer
    stroke(cv, 276, 126, 284, 162, 1.2f, Steel);
    fillCircle(cv, 276, 126, 4, Steel);
    fillCircle(cv, 276, 126, 1.8f, rgb(120, 90, 60));  // spanner
    stroke(cv, 370, 126, 370, 158, 1.3f, rgb(200, 40, 40));
    stroke(cv, 366, 126, 374, 126, 1.3f, Steel);  // screwdriver
    // Bench top and legs.
    fillRect(cv, 244, 176, 388, 183, rgb(140, 100, 60));
    fillRect(cv, 244, 184, 388, 187, rgb(80, 56, 36));
    fillRect(cv, 250, 188, 256, 250, rgb(60, 44, 32));
    fillRect(cv, 376, 188, 382, 250, rgb(60, 44, 32));
    fillRect(cv, 256, 228, 376, 231, rgb(70, 50, 36));
    // Boxes under the bench.
    fillRect(cv, 262, 206, 300, 227, rgb(150, 120, 80));
    outlineRect(cv, 262, 206, 300, 227, rgb(90, 70, 46));
}

// "Upgrade: brake system": a new drilled disc with a red calliper, standing on the bench.
void paintBrakeDisc(Canvas& cv) {
    float cx = 302, cy = 162;
    fillCircle(cv, cx, cy, 14, Ink);
    fillRing(cv, cx, cy, 5, 13, rgb(200, 200, 214));
    fillRing(cv, cx, cy, 9, 10, rgb(150, 150, 164));
    for (int i = 0; i < 10; ++i) {
        float a = i * 0.628f;
        fillCircle(cv, cx + 11 * std::cos(a), cy + 11 * std::sin(a), 0.9f, rgb(90, 90, 100));
    }
    fillCircle(cv, cx, cy, 5, rgb(80, 80, 92));
    fillCircle(cv, cx, cy, 2, Ink);
    std::vector<float> calliper = {cx + 6, cy - 14, cx + 14, cy - 10, cx + 16, cy - 2, cx + 10, cy - 4, cx + 6, cy - 9};
    fillPolygon(cv, calliper, rgb(220, 40, 40));
    fillRect(cv, int(cx) - 8, 174, int(cx) + 8, 175, rgb(40, 30, 24));  // stand
}

// "Repair brake system": a red toolbox with a spanner and worn pads.
void paintToolbox(Canvas& cv) {
    fillRect(cv, 332, 157, 376, 175, Ink);
    fillRectVertical(cv, 334, 159, 374, 174, rgb(220, 50, 50), rgb(140, 24, 30));
    fillRect(cv, 334, 165, 374, 165, rgb(100, 16, 20));
    fillRect(cv, 348, 152, 360, 154, Ink);
    fillRect(cv, 347, 152, 348, 158, Ink);
    fillRect(cv, 360, 152, 361, 158, Ink);
    fillRect(cv, 352, 167, 356, 169, Steel);
    stroke(cv, 322, 174, 342, 170, 1.2f, Steel);  // spanner in front
    fillCircle(cv, 321, 174, 2.6f, Steel);
    fillRect(cv, 340, 171, 347, 174, rgb(60, 52, 44));  // worn pad
}

// "Fix bodywork damage": a dented taxi door on a stand, a mallet leaning on it.
void paintBodywork(Canvas& cv) {
    std::vector<float> door = {150, 172, 200, 168, 204, 222, 154, 226};
    fillPolygon(cv, {148, 170, 202, 166, 206, 224, 152, 228}, Ink);
    fillPolygon(cv, door, TaxiYellow);
    fillPolygon(cv, {154, 174, 196, 171, 198, 188, 156, 190}, rgb(60, 70, 90));  // window
    for (int i = 0; i < 7; ++i) {
        int x = 156 + i * 6;
        fillRect(cv, x, 200, x + 2, 202, Ink);
        fillRect(cv, x + 3, 203, x + 5, 205, Ink);
    }
    fillCircle(cv, 180, 214, 5, scale(TaxiYellow, 0.6f));  // the dent
    fillCircle(cv, 179, 213, 3, scale(TaxiYellow, 0.8f));
    stroke(cv, 208, 230, 196, 206, 1.5f, rgb(120, 80, 50));  // mallet
    fillRect(cv, 190, 200, 202, 207, rgb(30, 30, 34));
}

// "Tune the radio": a boombox on a crate.
void paintRadio(Canvas& cv) {
    fillRect(cv, 56, 258, 122, 300, rgb(140, 100, 60));
    for (int y = 258; y <= 300; y += 10) fillRect(cv, 56, y, 122, y, rgb(80, 56, 36));
    outlineRect(cv, 56, 258, 122, 300, Ink);
    fillRect(cv, 62, 234, 116, 257, Ink);
    fillRectVertical(cv, 63, 235, 115, 256, rgb(70, 70, 80), rgb(36, 36, 44));
    fillRect(cv, 68, 226, 110, 228, Ink);
    fillRect(cv, 68, 226, 70, 234, Ink);
    fillRect(cv, 108, 226, 110, 234, Ink);  // handle
    for (float cx : {74.0f, 104.0f}) {
        fillCircle(cv, cx, 247, 8, rgb(20, 20, 24));
        fillRing(cv, cx, 247, 5, 7, rgb(90, 90, 100));
        fillCircle(cv, cx, 247, 2, rgb(140, 140, 150));
    }
    fillRect(cv, 84, 238, 94, 243, rgb(60, 180, 90));  // dial
    stroke(cv, 112, 234, 122, 206, 0.6f, Steel);        // aerial
}

// "Upgrade: turbo": a turbocharger on an oil drum.
void paintTurbo(Canvas& cv) {
    fillRect(cv, 124, 244, 160, 304, Ink);
    fillRectVertical(cv, 125, 245, 159, 303, rgb(60, 90, 150), rgb(30, 46, 90));
    fillRect(cv, 125, 262, 159, 264, rgb(24, 30, 60));
    fillRect(cv, 125, 284, 159, 286, rgb(24, 30, 60));
    tinyText(cv, 132, 270, "TURBO", rgb(220, 200, 120));
    float cx = 137, cy = 228;
    fillRect(cv, int(cx) - 6, int(cy) + 8, int(cx) + 6, 244, Ink);  // mounting flange
    fillRect(cv, int(cx) - 5, int(cy) + 9, int(cx) + 5, 243, SteelDark);
    // Intake pipe out of the snail's eye, then the housing in cast bronze.
    fillCircle(cv, cx, cy, 14, Ink);
    fillCircle(cv, cx, cy, 12.5f, rgb(190, 150, 90));
    for (int i = 0; i < 60; ++i) {
        float a = i * 0.2f, r = 2 + i * 0.16f;
        cv.put(int(cx + r * std::cos(a)), int(cy + r * std::sin(a)), rgb(70, 70, 84));  // the snail's spiral
    }
    fillRect(cv, 148, 216, 160, 224, Ink);
    fillRect(cv, 149, 217, 159, 223, rgb(190, 120, 60));  // outlet, heat-coloured
    fillCircle(cv, cx, cy, 5, Ink);
    fillCircle(cv, cx, cy, 4, rgb(200, 200, 215));
    for (int i = 0; i < 6; ++i) {
        float a = i * 1.047f;
        stroke(cv, cx, cy, cx + 3.5f * std::cos(a), cy + 3.5f * std::sin(a), 0.4f, rgb(80, 80, 95));  // compressor blades
    }
}

// "Fill the tank": an old fuel pump with its hose and nozzle.
void paintFuelPump(Canvas& cv) {
    fillRect(cv, 392, 160, 432, 266, Ink);
    fillRectVertical(cv, 394, 162, 430, 264, rgb(210, 50, 50), rgb(120, 24, 30));
    fillRect(cv, 398, 170, 426, 186, Ink);
    fillRect(cv, 400, 172, 424, 184, rgb(220, 210, 170));
    tinyText(cv, 402, 176, "GAS", rgb(40, 30, 20));
    fillCircle(cv, 412, 152, 10, Ink);
    fillCircle(cv, 412, 152, 8.5f, rgb(240, 230, 200));  // globe
    tinyText(cv, 406, 150, "HC", rgb(200, 40, 40));
    // Hose down and round to the nozzle holder on the pump's side.
    stroke(cv, 394, 200, 386, 214, 1.8f, rgb(20, 20, 22));
    stroke(cv, 386, 214, 386, 250, 1.8f, rgb(20, 20, 22));
    stroke(cv, 386, 250, 394, 258, 1.8f, rgb(20, 20, 22));
    fillRect(cv, 382, 218, 392, 228, Ink);
    fillRect(cv, 383, 219, 391, 227, rgb(170, 170, 180));  // nozzle
    fillRect(cv, 390, 222, 396, 224, rgb(170, 170, 180));
}

// "Upgrade: racing tires": a stack of new tyres with a price tag.
void paintTyres(Canvas& cv) {
    for (int i = 0; i < 3; ++i) {
        float top = 268 - i * 24.0f;
        // Each tyre: a short cylinder seen from slightly above.
        for (int y = int(top); y <= int(top + 26); ++y)
            for (int x = 474; x <= 546; ++x) {
                float dx = (x - 510.0f) / 36.0f;
                if (dx * dx > 1.0f) continue;
                float h = 9.0f * std::sqrt(1 - dx * dx);
                if (y < top + 10 - h || y > top + 16 + h) continue;
                float shade = 0.4f + 0.6f * std::sqrt(1 - dx * dx);
                Rgb c = scale(rgb(50, 48, 56), shade);
                if ((int(x + dx * 8) / 3) % 2 == 0 && y > top + 12) c = scale(c, 0.75f);  // tread
                cv.put(x, y, c);
            }
        // Top face with the hole.
        for (int y = int(top) - 2; y <= int(top) + 20; ++y)
            for (int x = 474; x <= 546; ++x) {
                float dx = (x - 510.0f) / 36.0f, dy = (y - top - 10) / 9.0f;
                float d = dx * dx + dy * dy;
                if (i == 2 && d < 1.0f) cv.put(x, y, d < 0.3f ? rgb(16, 14, 18) : mix(rgb(90, 88, 100), rgb(40, 38, 46), (d - 0.3f) / 0.7f));
            }
    }
    fillRect(cv, 540, 232, 560, 244, rgb(240, 230, 200));
    tinyText(cv, 542, 236, "NEW", rgb(180, 30, 30));
    stroke(cv, 540, 236, 532, 240, 0.5f, Ink);
}

void paintClutter(Canvas& cv) {
    // A pin-up calendar of a cab and a shelf of cans on the left wall.
    fillRect(cv, 22, 48, 78, 120, rgb(230, 220, 200));
    fillRect(cv, 26, 52, 74, 84, rgb(60, 40, 80));
    fillRect(cv, 32, 68, 68, 80, TaxiYellow);
    fillCircle(cv, 40, 80, 4, Ink);
    fillCircle(cv, 60, 80, 4, Ink);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 7; ++c) fillRect(cv, 27 + c * 7, 89 + r * 7, 31 + c * 7, 92 + r * 7, rgb(150, 140, 130));
    fillRect(cv, 10, 150, 96, 153, rgb(90, 66, 44));
    Rng rng(9);
    for (int x = 14; x < 92; x += 12) {
        Rgb can = rng.below(2) ? rgb(200, 50, 50) : rgb(50, 110, 60);
        int h = 12 + rng.below(8);
        fillRect(cv, x, 150 - h, x + 8, 149, can);
        fillRect(cv, x + 2, 150 - h - 2, x + 4, 150 - h, Steel);
    }
    // Lockers on the right wall.
    for (int i = 0; i < 3; ++i) {
        int x0 = 446 + i * 38;
        fillRect(cv, x0, 96, x0 + 36, FloorY, rgb(80, 100, 110));
        outlineRect(cv, x0, 96, x0 + 36, FloorY, rgb(40, 50, 60));
        for (int y = 104; y < 120; y += 4) fillRect(cv, x0 + 8, y, x0 + 28, y + 1, rgb(40, 50, 60));
        fillRect(cv, x0 + 30, 140, x0 + 32, 150, Steel);
    }
}

}  // namespace

// Soft contact shadows under the things standing on the floor.
void paintShadows(Canvas& cv) {
    const float spots[][3] = {{89, 300, 40}, {142, 304, 24}, {178, 228, 32}, {316, 250, 76}, {412, 266, 30}, {510, 294, 44}, {604, 206, 30}};
    for (const auto& s : spots)
        for (int y = int(s[1]) - 6; y <= int(s[1]) + 6; ++y)
            for (int x = int(s[0] - s[2]); x <= int(s[0] + s[2]); ++x) {
                float dx = (x - s[0]) / s[2], dy = (y - s[1]) / 6.0f;
                float d = dx * dx + dy * dy;
                if (d < 1.0f) cv.darken(x, y, 0.55f + 0.45f * d);
            }
}

void drawGarageBackdrop(Picture& pic) {
    Canvas cv(640, 320);
    paintRoom(cv);
    paintShadows(cv);
    paintRollerDoor(cv);
    paintClutter(cv);
    paintBench(cv);
    paintRadiator(cv);
    paintExit(cv);
    paintLamps(cv);
    paintBrakeDisc(cv);
    paintToolbox(cv);
    paintBodywork(cv);
    paintRadio(cv);
    paintTurbo(cv);
    paintFuelPump(cv);
    paintTyres(cv);
    quantize(cv, pic, 0, 0, 10.0f);
}

}  // namespace artgen::ui
