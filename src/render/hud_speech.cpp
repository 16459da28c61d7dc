// The passenger's speech bubble, also used by the garage.
#include <cmath>

#include "core/colours.h"
#include "render/hud.h"

namespace hc {

SpeechLines splitSpeech(std::string_view text, int targetWidth) {
    SpeechLines lines{std::string(text), std::string()};
    const size_t length = text.size();
    if (10 * static_cast<int64_t>(length) > targetWidth) {
        // Broken in the middle of the text, not at a space; an odd length gives the
        // second line the larger half (halves round to even).
        const auto half = static_cast<size_t>(std::nearbyint(static_cast<double>(length) / 2.0));
        lines.second = std::string(text.substr(length - half));
        lines.first = std::string(text.substr(0, length - half)) + "-";
    }
    return lines;
}

void drawSpeechBubble(const FontSet& font, Image& target, int x, int y, std::string_view text) {
    const SpeechLines lines = splitSpeech(text, target.width);
    const int w = 10 * static_cast<int>(lines.first.size());
    const int h = lines.second.empty() ? 10 : 20;
    if (x == -1) x = static_cast<int>(std::nearbyint((target.width - w) / 2.0));

    fillBox(target, x - 5, y - 5, x + w + 5, y + h + 5, ColourNearWhite);
    drawBox(target, x - 4, y - 4, x + w + 4, y + h + 4, ColourBlack);
    printText(font, target, x, y, lines.first, 0);
    if (!lines.second.empty()) printText(font, target, x, y + 10, lines.second, 0);

    // The tail: a right triangle hanging from the lower left corner, its long side
    // open towards the bubble so that the outline runs on into it.
    const int b = y + h + 4;
    for (int i = 0; i <= 10; ++i) {
        drawLine(target, x - 5, b + i, x + 7 - i, b + i, ColourNearWhite);
        plotPixel(target, x - 4, b + i, ColourBlack);
        plotPixel(target, x + 6 - i, b + i, ColourBlack);
    }
    plotPixel(target, x + 7, b, ColourBlack);
}

}  // namespace hc
