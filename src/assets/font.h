#pragma once
#include <cstdint>
#include <string_view>

#include "draw/image.h"

namespace hc {

constexpr int FontGlyphs = 50;
constexpr int FontStyles = 5;
constexpr int GlyphSize = 10;

// The game font: 50 glyphs of 10 x 10 pixels in 5 styles, colour 0 transparent.
// The image of glyph g in style s is glyphs[g * 5 + s].
struct FontSet {
    Image* glyphs[FontGlyphs * FontStyles] = {};
    int32_t lineCursorY = 0;  // y of the next line printed by printLine
};

// The glyph number of a character, or -1 when the font lacks it (space included).
// Capitals share the small letters' glyphs.
int glyphNumber(char c);

// Draws text with its top-left corner at (x, y) on the target; x = -1 centres it on
// the target's width, counting every character at the full advance. The advance is
// 10 pixels, 7 in style 3 (the narrow style), where i l . , ! : ' advance only 3.
void printText(const FontSet& font, Image& target, int x, int y, std::string_view text, int style);
// One character: its glyph (the apostrophe is the comma raised 5 pixels), or the
// built-in 8 x 8 character at (x, y + 2) in colour 22 (255 in style 0).
void drawGlyph(const FontSet& font, Image& target, int x, int y, char c, int style);
// printText at (x, lineCursorY) in style 3, then moves the cursor down 16 pixels (9
// on screens 240 pixels high or less).
void printLine(FontSet& font, Image& target, int x, std::string_view text);
// Built-in font text in a colour with a one-pixel outline in black; x = -1 centres.
void printOutlined(Image& target, int x, int y, std::string_view text, int colour);

}  // namespace hc
