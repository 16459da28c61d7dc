#include "assets/font.h"

#include <cmath>
#include <string>

#include "draw/builtin_font.h"
#include "core/colours.h"

namespace hc {

namespace {

// Centres a run of `width` pixels on the target, rounding halves to even.
int centredX(const Image& target, int width) {
    return static_cast<int>(std::nearbyint((target.width - width) / 2.0));
}

bool isNarrow(char c) {
    return c == 'i' || c == 'l' || c == '.' || c == ',' || c == '!' || c == ':' || c == '\'';
}

}  // namespace

int glyphNumber(char c) {
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= '0' && c <= '9') return 26 + (c - '0');
    switch (c) {
        case '.': return 36;
        case ',': case '\'': return 37;
        case '!': return 38;
        case '?': return 39;
        case '"': return 40;
        case '<': case '(': case '[': return 41;
        case '>': case ')': case ']': return 42;
        case '+': return 43;
        case '-': return 44;
        case ':': case ';': return 45;
        case '/': return 46;
        case '@': return 47;
        case '$': return 48;
        case '%': return 49;
        default: return -1;
    }
}

void drawGlyph(const FontSet& font, Image& target, int x, int y, char c, int style) {
    const int g = glyphNumber(c);
    if (g >= 0 && style >= 0 && style < FontStyles) {
        const Image* glyph = font.glyphs[g * FontStyles + style];
        if (glyph) blitImage(*glyph, target, x, c == '\'' ? y - 5 : y, true);
        return;
    }
    if (g >= 0) return;  // an unknown style has no pictures
    const char text[2] = {c, 0};
    drawBuiltinText(target, x, y + 2, std::string_view(text, 1), style == 0 ? ColourBlack : ColourNearWhite);
}

void printText(const FontSet& font, Image& target, int x, int y, std::string_view text, int style) {
    const int advance = style == 3 ? 7 : GlyphSize;
    if (x == -1) x = centredX(target, static_cast<int>(text.size()) * advance);
    for (char c : text) {
        drawGlyph(font, target, x, y, c, style);
        x += (style == 3 && isNarrow(c)) ? 3 : advance;
    }
}

void printLine(FontSet& font, Image& target, int x, std::string_view text) {
    printText(font, target, x, font.lineCursorY, text, 3);
    font.lineCursorY += target.height <= 240 ? 9 : 16;
}

void printOutlined(Image& target, int x, int y, std::string_view text, int colour) {
    if (x == -1) x = centredX(target, static_cast<int>(text.size()) * 8);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx != 0 || dy != 0) drawBuiltinText(target, x + dx, y + dy, text, ColourBlack);
        }
    }
    drawBuiltinText(target, x, y, text, static_cast<uint32_t>(colour));
}

}  // namespace hc
