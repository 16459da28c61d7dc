// The game font: five styles of 50 glyphs, drawn from one set of letter shapes.
#include <array>
#include <cstdint>
#include <string_view>

#include "picture.h"

namespace artgen {
namespace {

// Letter shapes on a 5 x 8 grid ('#' ink): seven rows down to the baseline and one
// for descenders. Glyphs stand for small letters and capitals alike: the full-width
// styles use capital forms, which read well at this size in every colour treatment;
// the narrow running-text style uses small-letter forms with ascenders and
// descenders, which read better in long lines and give i and l their thin shapes.
using Shape = std::array<std::string_view, 8>;

constexpr int GlyphSize = 10;
constexpr int GlyphCount = 50;

// Glyphs 0-49 in their full-width forms.
constexpr std::array<Shape, GlyphCount> FullShapes = {{
    {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"},  // a
    {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."},  // b
    {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."},  // c
    {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."},  // d
    {"#####", "#....", "#....", "####.", "#....", "#....", "#####"},  // e
    {"#####", "#....", "#....", "####.", "#....", "#....", "#...."},  // f
    {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"},  // g
    {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"},  // h
    {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."},  // i
    {"..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."},  // j
    {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"},  // k
    {"#....", "#....", "#....", "#....", "#....", "#....", "#####"},  // l
    {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"},  // m
    {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"},  // n
    {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},  // o
    {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."},  // p
    {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"},  // q
    {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"},  // r
    {".####", "#....", "#....", ".###.", "....#", "....#", "####."},  // s
    {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."},  // t
    {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},  // u
    {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."},  // v
    {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."},  // w
    {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"},  // x
    {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."},  // y
    {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"},  // z
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},  // 0
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},  // 1
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},  // 2
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},  // 3
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},  // 4
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},  // 5
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},  // 6
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},  // 7
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},  // 8
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},  // 9
    {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."},  // .
    {".....", ".....", ".....", ".....", ".....", ".##..", "..#.."},  // , (and ')
    {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."},  // !
    {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."},  // ?
    {".#.#.", ".#.#.", ".#.#.", ".....", ".....", ".....", "....."},  // "
    {"...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#."},  // <
    {".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#..."},  // >
    {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."},  // +
    {".....", ".....", ".....", ".###.", ".....", ".....", "....."},  // -
    {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."},  // :
    {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."},  // /
    {".###.", "#...#", "#.###", "#.#.#", "#.###", "#....", ".####"},  // @
    {"..#..", ".####", "#.#..", ".###.", "..#.#", "####.", "..#.."},  // $
    {"##..#", "##..#", "...#.", "..#..", ".#...", "#..##", "#..##"},  // %
}};

// Small-letter forms of glyphs 0-25 for the narrow style: x-height rows 2-6,
// ascenders from row 0, descenders into row 7. i and l are one column wide.
constexpr std::array<Shape, 26> SmallShapes = {{
    {".....", ".....", ".###.", "....#", ".####", "#...#", ".####", "....."},  // a
    {"#....", "#....", "####.", "#...#", "#...#", "#...#", "####.", "....."},  // b
    {".....", ".....", ".####", "#....", "#....", "#....", ".####", "....."},  // c
    {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####", "....."},  // d
    {".....", ".....", ".###.", "#...#", "#####", "#....", ".####", "....."},  // e
    {"..##.", ".#...", "####.", ".#...", ".#...", ".#...", ".#...", "....."},  // f
    {".....", ".....", ".####", "#...#", "#...#", ".####", "....#", ".###."},  // g
    {"#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#", "....."},  // h
    {"#", ".", "#", "#", "#", "#", "#", "."},                                  // i
    {"....#", ".....", "....#", "....#", "....#", "....#", "#...#", ".###."},  // j
    {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "....."},  // k
    {"#", "#", "#", "#", "#", "#", "#", "."},                                  // l
    {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#", "....."},  // m
    {".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#", "....."},  // n
    {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###.", "....."},  // o
    {".....", ".....", "####.", "#...#", "#...#", "####.", "#....", "#...."},  // p
    {".....", ".....", ".####", "#...#", "#...#", ".####", "....#", "....#"},  // q
    {".....", ".....", "#.##.", "##..#", "#....", "#....", "#....", "....."},  // r
    {".....", ".....", ".####", "#....", ".###.", "....#", "####.", "....."},  // s
    {".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##.", "....."},  // t
    {".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....."},  // u
    {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#..", "....."},  // v
    {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#.", "....."},  // w
    {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "....."},  // x
    {".....", ".....", "#...#", "#...#", "#...#", ".####", "....#", ".###."},  // y
    {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####", "....."},  // z
}};

// The glyphs that advance only 3 pixels in the narrow style, with shapes one column
// wide so that they fit 3 columns with their outline.
constexpr int GlyphPeriod = 36, GlyphComma = 37, GlyphBang = 38, GlyphColon = 45;

Shape narrowShape(int glyph) {
    if (glyph < 26) return SmallShapes[size_t(glyph)];
    switch (glyph) {
    case GlyphPeriod: return {".", ".", ".", ".", ".", ".", "#", "."};
    case GlyphComma: return {".", ".", ".", ".", ".", "#", "#", "#"};
    case GlyphBang: return {"#", "#", "#", "#", "#", ".", "#", "."};
    case GlyphColon: return {".", ".", "#", ".", ".", ".", "#", "."};
    default: return FullShapes[size_t(glyph)];
    }
}

// Own forms in the bold styles for the glyphs whose strokes would run together if
// every pixel were simply doubled.
bool boldShape(int glyph, Shape& shape) {
    switch (glyph) {
    case 6:  // g: a flat top and an open right side keep it apart from 6
        shape = {".#####", "##....", "##....", "##.###", "##..##", "##..##", ".#####", ""};
        return true;
    case 12:  // m
        shape = {"#....#", "##..##", "#.##.#", "#.##.#", "#....#", "#....#", "#....#", ""};
        return true;
    case 13:  // n
        shape = {"##..##", "###.##", "######", "##.###", "##..##", "##..##", "##..##", ""};
        return true;
    case 21:  // v
        shape = {"##..##", "##..##", "##..##", "##..##", ".####.", ".####.", "..##..", ""};
        return true;
    case 22:  // w
        shape = {"#....#", "#....#", "#....#", "#.##.#", "#.##.#", "##..##", "#....#", ""};
        return true;
    case 26:  // 0: narrower than the letter o, so the two stay apart
        shape = {".###.", "##.##", "##.##", "##.##", "##.##", "##.##", ".###.", ""};
        return true;
    case 40:  // double quote
        shape = {"##.##", "##.##", "##.##", "", "", "", "", ""};
        return true;
    case 47: case 48: case 49:  // @, $ and % keep their thin strokes
        shape = FullShapes[size_t(glyph)];
        return true;
    default: return false;
    }
}

// A 10 x 10 work grid: ink marks, then colours.
struct Cell {
    bool ink[GlyphSize][GlyphSize] = {};
    uint8_t colour[GlyphSize][GlyphSize] = {};

    bool inkAt(int x, int y) const {
        return x >= 0 && y >= 0 && x < GlyphSize && y < GlyphSize && ink[y][x];
    }
};

// Puts a shape's ink into the cell with its top-left corner at (ox, oy); bold
// smears every ink pixel one column to the right.
void placeShape(Cell& cell, const Shape& shape, int ox, int oy, bool bold) {
    for (int row = 0; row < 8; ++row) {
        const std::string_view line = shape[size_t(row)];
        for (int col = 0; col < int(line.size()); ++col) {
            if (line[size_t(col)] != '#') continue;
            for (int b = 0; b <= (bold ? 1 : 0); ++b) {
                const int x = ox + col + b, y = oy + row;
                if (x >= 0 && y >= 0 && x < GlyphSize && y < GlyphSize) cell.ink[y][x] = true;
            }
        }
    }
}

// Places a full-width glyph, doubled to bold or in its own six-column form.
void placeBold(Cell& cell, int glyph) {
    Shape shape;
    if (boldShape(glyph, shape)) placeShape(cell, shape, 1, 1, false);
    else placeShape(cell, FullShapes[size_t(glyph)], 1, 1, true);
}

// Colours every empty pixel next to ink (8 neighbours) with the outline colour.
void outline(Cell& cell, uint8_t colour) {
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x) {
            if (cell.ink[y][x] || cell.colour[y][x] != 0) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) near = cell.inkAt(x + dx, y + dy);
            if (near) cell.colour[y][x] = colour;
        }
}

// Colours every still-empty pixel whose upper-left neighbour is coloured: a shadow
// one pixel down and to the right of the outlined letter.
void dropShadow(Cell& cell, uint8_t colour, int maxX) {
    Cell before = cell;
    for (int y = 1; y < GlyphSize; ++y)
        for (int x = 1; x <= maxX && x < GlyphSize; ++x)
            if (before.colour[y][x] == 0 && !before.ink[y][x] &&
                (before.colour[y - 1][x - 1] != 0 || before.ink[y - 1][x - 1]))
                cell.colour[y][x] = colour;
}

void store(Picture& strip, const Cell& cell, int glyph, int style) {
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x)
            strip.set(glyph * GlyphSize + x, style * GlyphSize + y, cell.colour[y][x]);
}

// Style 0: bold dark ink for the near-white speech bubble.
Cell styleDark(int glyph) {
    Cell cell;
    placeBold(cell, glyph);
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x)
            if (cell.ink[y][x]) cell.colour[y][x] = y >= 6 ? 3 : 255;
    return cell;
}

// Style 1: bold white letters with a black outline and shadow, for the garage and HUD.
Cell styleOutlined(int glyph) {
    Cell cell;
    placeBold(cell, glyph);
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x)
            if (cell.ink[y][x]) cell.colour[y][x] = y <= 3 ? 22 : (y <= 5 ? 20 : 17);
    outline(cell, 255);
    dropShadow(cell, 255, 8);
    return cell;
}

// Style 2: bold title letters, white-hot at the top shading through rose into
// magenta, with a black outline and a violet shadow.
Cell styleTitle(int glyph) {
    Cell cell;
    placeBold(cell, glyph);
    static constexpr uint8_t Ramp[10] = {22, 22, 21, 182, 182, 26, 26, 27, 27, 27};
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x)
            if (cell.ink[y][x]) cell.colour[y][x] = Ramp[y];
    outline(cell, 255);
    dropShadow(cell, 23, 8);
    return cell;
}

// Style 3: the narrow running-text style, pale letters with a black outline that
// fit 7 columns (3 for the narrow glyphs).
Cell styleNarrow(int glyph) {
    Cell cell;
    placeShape(cell, narrowShape(glyph), 1, 1, false);
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x)
            if (cell.ink[y][x]) cell.colour[y][x] = y <= 5 ? 22 : 19;
    outline(cell, 255);
    return cell;
}

// Key-cap symbols on a 5 x 5 grid.
using KeySymbol = std::array<std::string_view, 5>;
constexpr KeySymbol KeyUp = {"..#..", ".###.", "#.#.#", "..#..", "..#.."};
constexpr KeySymbol KeyDown = {"..#..", "..#..", "#.#.#", ".###.", "..#.."};
constexpr KeySymbol KeyLeft = {"..#..", ".#...", "#####", ".#...", "..#.."};
constexpr KeySymbol KeyRight = {"..#..", "...#.", "#####", "...#.", "..#.."};
constexpr KeySymbol KeyEnter = {"....#", "....#", ".#..#", "#####", ".#..."};
constexpr KeySymbol KeyEscape = {"###..", "##...", "#.#..", "...#.", "....#"};
constexpr KeySymbol KeyTab = {"....#", "..#.#", "#####", "..#.#", "....#"};

constexpr std::array<KeySymbol, 10> KeyDigits = {{
    {".###.", "#..##", "#.#.#", "##..#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "..##.", ".#...", "#####"},
    {"####.", "....#", ".###.", "....#", "####."},
    {"#..#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "####."},
    {".###.", "#....", "####.", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", "..#.."},
    {".###.", "#...#", ".###.", "#...#", ".###."},
    {".###.", "#...#", ".####", "....#", ".###."},
}};

// A letter or sign squeezed to 5 rows (its top, middle three and bottom rows); digits
// have their own 5-row forms.
KeySymbol squeezed(int glyph) {
    if (glyph >= 26 && glyph <= 35) return KeyDigits[size_t(glyph - 26)];
    const Shape& s = FullShapes[size_t(glyph)];
    return {s[0], s[2], s[3], s[4], s[6]};
}

KeySymbol keySymbol(int glyph) {
    switch (glyph) {
    case 43: return KeyUp;
    case 44: return KeyDown;
    case 41: return KeyLeft;
    case 42: return KeyRight;
    case 36: return KeyEnter;
    case 37: return KeyEscape;
    case 38: return KeyTab;
    case 39: return squeezed(5);  // the function key: an F
    default: return squeezed(glyph);
    }
}

// Style 4: a key cap with its symbol, for the controls page. The function key (the
// question-mark glyph) has a blue cap so it reads as a different row of keys.
Cell styleKeyCap(int glyph) {
    Cell cell;
    const bool function = glyph == 39;
    const uint8_t top = function ? 204 : 21, face = function ? 203 : 18, side = function ? 202 : 12,
                  edge = function ? 201 : 14;
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool corner = (x == 0 || x == 8) && (y == 0 || y == 9);
            if (corner) continue;
            uint8_t c = face;
            if (x == 0 || x == 8 || y == 0 || y == 9) c = 255;
            else if (y == 1) c = top;
            else if (y == 8) c = side;
            else if (x == 7) c = edge;
            cell.colour[y][x] = c;
        }
    const KeySymbol symbol = keySymbol(glyph);
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 5; ++col)
            if (symbol[size_t(row)][size_t(col)] == '#') cell.colour[2 + row][2 + col] = 1;
    return cell;
}

}  // namespace

void drawFontStyles(Picture& strip) {
    for (int glyph = 0; glyph < GlyphCount; ++glyph) {
        store(strip, styleDark(glyph), glyph, 0);
        store(strip, styleOutlined(glyph), glyph, 1);
        store(strip, styleTitle(glyph), glyph, 2);
        store(strip, styleNarrow(glyph), glyph, 3);
        store(strip, styleKeyCap(glyph), glyph, 4);
    }
}

}  // namespace artgen
