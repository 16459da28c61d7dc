#include "assets/colour_tables.h"
#include "core/colours.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace hc {

namespace {

constexpr int MaxChannelGap = 255 * 16;  // |r * L - 16 * candidate| never exceeds this

// A shade target channel is r * L / 16, an exact sixteenth, so each distance term is
// a gap of sixteenths rounded to the nearest integer with halves to even. Looking the
// rounding up by the gap in sixteenths gives the same terms as the floating-point rule
// without any floating-point work in the search.
constexpr std::array<uint16_t, MaxChannelGap + 1> makeRoundedSixteenths() {
    std::array<uint16_t, MaxChannelGap + 1> table{};
    for (int gap = 0; gap <= MaxChannelGap; ++gap) {
        int whole = gap / 16;
        int rest = gap % 16;
        if (rest > 8 || (rest == 8 && (whole & 1) != 0)) ++whole;
        table[gap] = static_cast<uint16_t>(whole);
    }
    return table;
}

constexpr auto RoundedSixteenths = makeRoundedSixteenths();

bool isInterfaceColour(int i) { return i >= 23 && i <= 27; }

}  // namespace

void buildShadeTable(const Rgb palette[256], uint8_t table[256][ShadeLevels]) {
    // The candidates, in index order, scaled to sixteenths once.
    int candidateIndex[256];
    int candidateRed[256], candidateGreen[256], candidateBlue[256];
    int candidates = 0;
    for (int i = 1; i < 256; ++i) {
        if (isInterfaceColour(i)) continue;
        candidateIndex[candidates] = i;
        candidateRed[candidates] = palette[i].red * 16;
        candidateGreen[candidates] = palette[i].green * 16;
        candidateBlue[candidates] = palette[i].blue * 16;
        ++candidates;
    }

    for (int level = 0; level < ShadeLevels; ++level) table[0][level] = ColourBlack;
    for (int c = 1; c < 256; ++c) {
        for (int level = 0; level < ShadeLevels; ++level) {
            const int red = palette[c].red * level;
            const int green = palette[c].green * level;
            const int blue = palette[c].blue * level;
            int best = 999;
            int bestIndex = 0;
            // Terms are never negative, so a candidate whose partial sum already
            // reaches the best cannot win and the rest of its sum is skipped.
            for (int k = 0; k < candidates; ++k) {
                int distance = RoundedSixteenths[std::abs(red - candidateRed[k])];
                if (distance >= best) continue;
                distance += RoundedSixteenths[std::abs(green - candidateGreen[k])];
                if (distance >= best) continue;
                distance += RoundedSixteenths[std::abs(blue - candidateBlue[k])];
                if (distance < best) {
                    best = distance;
                    bestIndex = candidateIndex[k];
                }
            }
            table[c][level] = static_cast<uint8_t>(bestIndex);
        }
    }
}

void buildGreyTable(const Rgb palette[256], uint8_t table[256]) {
    for (int c = 0; c < 256; ++c) {
        float red = 0, green = 0, blue = 0;
        if (c != 0) {
            red = palette[c].red;
            green = palette[c].green;
            blue = palette[c].blue;
        }
        const float luminance = (0.3f * red + 0.59f * green + 0.11f * blue) * 0.6f;
        int best = 999;
        int bestIndex = 0;
        for (int i = 1; i <= 37; ++i) {
            // nearbyint rounds halves to even in the default rounding mode.
            const int distance =
                static_cast<int>(std::nearbyint(std::fabs(luminance - palette[i].red))) +
                static_cast<int>(std::nearbyint(std::fabs(luminance - palette[i].green))) +
                static_cast<int>(std::nearbyint(std::fabs(luminance - palette[i].blue)));
            if (distance < best) {
                best = distance;
                bestIndex = i;
            }
        }
        table[c] = static_cast<uint8_t>(bestIndex);
    }
}

}  // namespace hc
