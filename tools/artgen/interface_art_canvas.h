#pragma once
// A small full-colour canvas for painting the interface pictures: shapes are
// painted in RGB with soft edges, then the whole canvas is reduced to palette
// indices with an ordered dither. Pixels never painted stay transparent (index 0).
#include <cstddef>  // picture.h uses size_t
#include <cstdint>
#include <vector>

#include "picture.h"

namespace artgen::ui {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb rgb(float r, float g, float b) { return Rgb{r, g, b}; }
Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb a, float k);
Rgb add(Rgb a, Rgb b);
// The colour of a palette index, as an Rgb.
Rgb paletteRgb(int index);

// The palette index nearest to a colour, never 0 (transparent) and never one of
// the interface accents 23-27.
uint8_t nearestIndex(Rgb c);

// Deterministic generator (xorshift32) so that every build paints the same pictures.
struct Rng {
    uint32_t state;
    explicit Rng(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    uint32_t next();
    float unit();                 // [0, 1)
    float range(float a, float b);
    int below(int n);             // 0 .. n-1
};

// Smooth value noise in [0, 1] on a lattice of the given cell size.
float valueNoise(float x, float y, float cell, uint32_t seed);

struct Canvas {
    int width = 0, height = 0;
    std::vector<Rgb> colour;
    std::vector<float> alpha;     // coverage; 0 stays transparent

    Canvas(int w, int h);
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Rgb get(int x, int y) const { return colour[size_t(y) * width + x]; }
    // Blends c over the pixel with coverage a (0..1).
    void blend(int x, int y, Rgb c, float a);
    void put(int x, int y, Rgb c) { blend(x, y, c, 1.0f); }
    // Multiplies the colour of painted pixels by k.
    void darken(int x, int y, float k);
};

// Shapes; coordinates in pixels, rectangles inclusive.
void fillRect(Canvas& cv, int x0, int y0, int x1, int y1, Rgb c, float a = 1.0f);
void fillRectVertical(Canvas& cv, int x0, int y0, int x1, int y1, Rgb top, Rgb bottom);
void fillCircle(Canvas& cv, float cx, float cy, float r, Rgb c, float a = 1.0f);
void fillRing(Canvas& cv, float cx, float cy, float r0, float r1, Rgb c, float a = 1.0f);
// A round-ended stroke of half-width hw from (x0, y0) to (x1, y1).
void stroke(Canvas& cv, float x0, float y0, float x1, float y1, float hw, Rgb c, float a = 1.0f);
void fillPolygon(Canvas& cv, const std::vector<float>& xy, Rgb c, float a = 1.0f);
// A soft radial glow: alpha falls from a at the centre to 0 at radius r.
void glow(Canvas& cv, float cx, float cy, float r, Rgb c, float a);
// Tiny 3 x 5 capitals and digits for painted labels.
void tinyText(Canvas& cv, int x, int y, const char* text, Rgb c, int scale = 1);
int tinyTextWidth(const char* text, int scale = 1);

// Reduces the canvas to palette indices into pic at (ox, oy); dither is the
// amplitude of the ordered dither in colour units (0 = none). Pixels whose
// coverage is below one half become 0.
void quantize(const Canvas& cv, Picture& pic, int ox, int oy, float dither);

// Copies a whole picture into another at (ox, oy).
void paste(const Picture& src, Picture& dst, int ox, int oy);

// The interface pictures, each into a picture of its own size.
void drawGarageBackdrop(Picture& pic);   // 640 x 320
void drawMenuBackdrop(Picture& pic);     // 640 x 400
void drawCockpit(Picture& pic);          // 640 x 180
void drawTitle(Picture& pic);            // 500 x 170

}  // namespace artgen::ui
