// The game font: five styles of 50 glyphs, drawn from one set of letter shapes.
#include <array>
#include <cstdint>
#include <string_view>

#include "picture.h"

namespace artgen {
namespace {

// Letter shapes on a 5 x 7 grid ('#' ink). One case serves both small letters and
// capitals: capital forms read well at this size and in every colour treatment.
using Shape = std::array<std::string_view, 7>;

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

// The glyphs that advance only 3 pixels in the narrow style, with shapes one column
// wide so that they fit 3 columns with their outline.
constexpr int GlyphI = 8, GlyphL = 11, GlyphPeriod = 36, GlyphComma = 37, GlyphBang = 38,
              GlyphColon = 45;

Shape narrowShape(int glyph) {
    switch (glyph) {
    case GlyphI: return {"#", ".", "#", "#", "#", "#", "#"};
    case GlyphL: return {"#", "#", "#", "#", "#", "#", "#"};
    case GlyphPeriod: return {".", ".", ".", ".", ".", ".", "#"};
    case GlyphComma: return {".", ".", ".", ".", ".", "#", "#"};
    case GlyphBang: return {"#", "#", "#", "#", "#", ".", "#"};
    case GlyphColon: return {".", ".", "#", ".", ".", "#", "."};
    default: return FullShapes[size_t(glyph)];
    }
}

bool isNarrow(int glyph) {
    return glyph == GlyphI || glyph == GlyphL || glyph == GlyphPeriod || glyph == GlyphComma ||
           glyph == GlyphBang || glyph == GlyphColon;
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
    for (int row = 0; row < 7; ++row) {
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

// Narrow punctuation sits in the middle of a full-width cell rather than at its left.
int fullOffset(int glyph) { return glyph == GlyphPeriod || glyph == GlyphComma ? 1 : 1; }

// Style 0: dark ink for the near-white speech bubble.
Cell styleDark(int glyph) {
    Cell cell;
    placeShape(cell, FullShapes[size_t(glyph)], fullOffset(glyph), 1, false);
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x)
            if (cell.ink[y][x]) cell.colour[y][x] = y >= 6 ? 3 : 255;
    return cell;
}

// Style 1: white letters with a black outline and shadow, for the garage and HUD.
Cell styleOutlined(int glyph) {
    Cell cell;
    placeShape(cell, FullShapes[size_t(glyph)], fullOffset(glyph), 1, false);
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
    placeShape(cell, FullShapes[size_t(glyph)], 1, 1, true);
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
            if (cell.ink[y][x]) cell.colour[y][x] = y <= 4 ? 22 : 37;
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

// A letter or digit squeezed to 5 rows: its top, middle three and bottom rows.
KeySymbol squeezed(int glyph) {
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
    (void)isNarrow;
}

}  // namespace artgen
