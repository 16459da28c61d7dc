#pragma once
#include <cstdint>
#include <string_view>

#include "draw/image.h"

namespace hc {

// Text in the built-in 8 x 8 font (printable ASCII; other characters draw nothing but
// still advance 8 pixels). Only the set bits of a glyph are drawn, clipped to the target.
void drawBuiltinText(Image& target, int x, int y, std::string_view text, uint32_t c);
// The 8 rows of a built-in glyph, bit 7 the leftmost pixel; zeros outside 32..126.
const uint8_t* builtinGlyph(unsigned char ch);

}  // namespace hc
