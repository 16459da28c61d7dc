#include "assets/colour_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace hc {
namespace {

struct Tables {
    Rgb palette[256];
    uint8_t shade[256][ShadeLevels];
    uint8_t grey[256];
    Tables() {
        for (int i = 0; i < 256; ++i) palette[i] = {BasePalette[i][0], BasePalette[i][1], BasePalette[i][2]};
        buildShadeTable(palette, shade);
        buildGreyTable(palette, grey);
    }
};

const Tables& tables() {
    static const auto built = std::make_unique<Tables>();
    return *built;
}

// The search rule written plainly in floating point: the reference for the fast one.
int bruteForceShade(const Rgb* palette, int c, int level) {
    if (c == 0) return 255;
    const float target[3] = {float(palette[c].red) * float(level) / 16.0f,
                             float(palette[c].green) * float(level) / 16.0f,
                             float(palette[c].blue) * float(level) / 16.0f};
    int best = 999, bestIndex = -1;
    for (int i = 1; i <= 255; ++i) {
        if (i >= 23 && i <= 27) continue;
        const float channel[3] = {float(palette[i].red), float(palette[i].green), float(palette[i].blue)};
        int distance = 0;
        for (int k = 0; k < 3; ++k) distance += int(std::nearbyint(std::fabs(target[k] - channel[k])));
        if (distance < best) {
            best = distance;
            bestIndex = i;
        }
    }
    return bestIndex;
}

TEST(ShadeTable, MatchesTheBruteForceSearchEverywhere) {
    const Tables& t = tables();
    for (int c = 0; c < 256; ++c)
        for (int level = 0; level < ShadeLevels; ++level)
            ASSERT_EQ(t.shade[c][level], bruteForceShade(t.palette, c, level)) << c << " at " << level;
}

TEST(ShadeTable, BlackAtTheEndsAndNeverTransparentOrInterfaceColours) {
    const Tables& t = tables();
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(t.shade[c][0], 255) << c;
        for (int level = 0; level < ShadeLevels; ++level) {
            const int entry = t.shade[c][level];
            ASSERT_NE(entry, 0);
            ASSERT_FALSE(entry >= 23 && entry <= 27) << c << " at " << level;
        }
    }
    for (int level = 0; level < ShadeLevels; ++level) EXPECT_EQ(t.shade[0][level], 255);
    // At full brightness every ordinary colour is its own best match.
    for (int c = 1; c < 256; ++c) {
        if (c >= 23 && c <= 27) continue;
        EXPECT_EQ(t.shade[c][16], c);
    }
}

TEST(ShadeTable, EntriesWorkedOutByHand) {
    const Tables& t = tables();
    // Near-white 22 (252) at half brightness: target 126 in each channel. Grey 9 (123)
    // is 3 off per channel (9), grey 10 (131) 5 per channel (15), blue-grey 81
    // (120,120,134) 6+6+8: so 9.
    EXPECT_EQ(t.shade[22][8], 9);
    // Grey 1 (8,8,8) at level 9: target 4.5 in each channel. Grey 1 is 3.5 -> 4 per
    // channel (12), 38 (11,1,2) 6.5 -> 6, 3.5 -> 4, 2.5 -> 2 (12) and 47 (1,3,11)
    // 4 + 2 + 6 (12): three ties, the lowest index wins.
    EXPECT_EQ(t.shade[1][9], 1);
    // Grey 6 (92) at level 2: target 11.5. Navy 49 (11,9,20) is 0.5 -> 0, 2.5 -> 2,
    // 8.5 -> 8 (10) with halves to even; rounding halves up would make it 13 and let
    // grey 1 (12) win.
    EXPECT_EQ(t.shade[6][2], 49);
    // Magenta 26 (204,0,255) at full brightness may not shade to itself.
    EXPECT_NE(t.shade[26][16], 26);
}

TEST(GreyTable, PicksTheNearestDarkGrey) {
    const Tables& t = tables();
    EXPECT_EQ(t.grey[0], 1);    // black: grey 1 (8,8,8) is the closest candidate
    // 252 * 0.6 = 151.2: grey 12 (155) is 4 per channel away, 34 (146,146,147) 5+5+4.
    EXPECT_EQ(t.grey[22], 12);
    EXPECT_EQ(t.grey[255], 1);
    for (int c = 0; c < 256; ++c) {
        EXPECT_GE(t.grey[c], 1);
        EXPECT_LE(t.grey[c], 37);
    }
    // Darkening never brightens: a colour's grey is no lighter than the colour.
    for (int c = 1; c < 256; ++c) {
        const Rgb& g = t.palette[t.grey[c]];
        const Rgb& p = t.palette[c];
        EXPECT_LE(0.3 * g.red + 0.59 * g.green + 0.11 * g.blue,
                  0.3 * p.red + 0.59 * p.green + 0.11 * p.blue + 8.0) << c;
    }
}

}  // namespace
}  // namespace hc
