#include "assets/colour_tables.h"

#include <gtest/gtest.h>

#include <memory>

namespace hc {
namespace {

struct Tables {
    Rgb palette[256];
    uint8_t shade[256][ShadeLevels];
    uint8_t grey[256];
    Tables() {
        for (int i = 0; i < 256; ++i) palette[i] = basePaletteEntry(i);
        buildShadeTable(palette, shade);
        buildGreyTable(palette, grey);
    }
};

const Tables& tables() {
    static const auto built = std::make_unique<Tables>();
    return *built;
}

TEST(ShadeTable, EntriesWorkedOutByHand) {
    const Tables& t = tables();
    struct Case { int colour, level, entry; };
    const Case cases[] = {
        // Near-white 22 (252) at half brightness, target 126: grey 9 (123) is 9 off, grey
        // 10 (131) 15, blue-grey 81 (120, 120, 134) 20.
        {22, 8, 9},
        // Grey 1 (8, 8, 8) at level 9, target 4.5: grey 1 (4 + 4 + 4), 38 (11, 1, 2) (6 + 4
        // + 2) and 47 (1, 3, 11) (4 + 2 + 6) tie at 12; the lowest index wins.
        {1, 9, 1},
        // Grey 6 (92) at level 2, target 11.5: navy 49 (11, 9, 20) is 0 + 2 + 8 with halves
        // to even; halves rounded up would make it 13 and let grey 1 (12) win.
        {6, 2, 49},
        {0, 8, 255}, {200, 0, 255}, {100, 16, 100},  // colour 0 and level 0 are black
    };
    for (const Case& c : cases) EXPECT_EQ(t.shade[c.colour][c.level], c.entry) << c.colour << " at " << c.level;
    for (int c = 0; c < 256; ++c)
        for (int level = 0; level < ShadeLevels; ++level)
            ASSERT_FALSE(t.shade[c][level] == 0 || (t.shade[c][level] >= 23 && t.shade[c][level] <= 27));
    EXPECT_NE(t.shade[26][16], 26) << "an interface colour never shades to itself";
}

TEST(GreyTable, PicksTheNearestDarkGrey) {
    const Tables& t = tables();
    EXPECT_EQ(t.grey[0], 1);  // black: grey 1 (8, 8, 8) is the closest candidate
    // 252 x 0.6 = 151.2: grey 12 (155) is 4 per channel away, 34 (146, 146, 147) 5 + 5 + 4.
    EXPECT_EQ(t.grey[22], 12);
    // 243 x 0.6 = 145.8: 34 is 0 + 0 + 1 away, 11 (138) 8 per channel, 12 9 per channel.
    EXPECT_EQ(t.grey[21], 34);
    for (int c = 0; c < 256; ++c) ASSERT_TRUE(t.grey[c] >= 1 && t.grey[c] <= 37) << c;
}

}  // namespace
}  // namespace hc
