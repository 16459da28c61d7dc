// The options screen: its entries and their effects, the gamma cycle, and the sunset
// picture behind them.
#include "frontend/options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "frontend/game.h"
#include "frontend_fixture.h"
#include "platform/screen.h"

namespace hc {
namespace {

// Entry i stands at row EntryTop + 20 i: the floor starts at row 289 at 640 x 480.
constexpr int EntryTop = 289 - 16 - 20 * 5;

bool rowHasColourIn(const Image& image, int y, int lo, int hi) {
    for (int x = 0; x < image.width; ++x) {
        const uint32_t c = getPixel(image, x, y);
        if (c >= static_cast<uint32_t>(lo) && c <= static_cast<uint32_t>(hi)) return true;
    }
    return false;
}

TEST(OptionsEntries, TextsFollowTheSettings) {
    AudioEngine audio;
    Shift shift;
    audio.channels[MusicChannel].enabled = -1;
    EXPECT_EQ(optionsEntryText(1, audio, shift), "gamma adjust");
    EXPECT_EQ(optionsEntryText(2, audio, shift), "music on");
    EXPECT_EQ(optionsEntryText(3, audio, shift), "high detail gfx");
    EXPECT_EQ(optionsEntryText(4, audio, shift), "classic mode");
    EXPECT_EQ(optionsEntryText(5, audio, shift), "return");
    audio.channels[MusicChannel].enabled = 0;
    shift.lowDetail = FlagOn;
    shift.assists = FlagOn;
    EXPECT_EQ(optionsEntryText(2, audio, shift), "music off");
    EXPECT_EQ(optionsEntryText(3, audio, shift), "low detail gfx");
    EXPECT_EQ(optionsEntryText(4, audio, shift), "assists on");
    EXPECT_EQ(optionsEntryText(6, audio, shift), "");
}

TEST(OptionsGamma, CyclesThroughFourValuesInSinglePrecision) {
    float g = 1.0f;
    const float expected[] = {0.8f, 0.6f, 1.2f, 1.0f, 0.8f};
    for (float e : expected) {
        g = nextGamma(g);
        EXPECT_FLOAT_EQ(g, e);
    }
    // The value near 0.6 lies just above it and is kept; 0.4 would wrap.
    EXPECT_GT(static_cast<double>(nextGamma(0.8f)), 0.6);
    EXPECT_EQ(nextGamma(0.6f), 1.2f);
    EXPECT_EQ(nextGamma(1.2f), 1.0f);
}

class OptionsScreen : public ::testing::Test {
protected:
    void SetUp() override {
        fe.game().audio.channels[MusicChannel].enabled = -1;
        logFrames(fe, log);
    }
    // The palette that a gamma gives, from the screen's untouched base palette.
    std::vector<uint32_t> paletteFor(float gamma) {
        ScreenContext& screen = fe.game().screen;
        std::vector<uint32_t> saved(screen.colourWords, screen.colourWords + 256);
        applyGamma(screen, gamma);
        std::vector<uint32_t> words(screen.colourWords, screen.colourWords + 256);
        std::memcpy(screen.colourWords, saved.data(), sizeof screen.colourWords);
        return words;
    }
    std::vector<uint32_t> palette() {
        return {fe.game().screen.colourWords, fe.game().screen.colourWords + 256};
    }
    // The rightmost column of style-3 glyph colour in the rows of entry i.
    int entryRightEdge(const std::vector<uint8_t>& frame, int entry) {
        const int y = EntryTop + 20 * entry + 5;
        for (int x = 639; x >= 0; --x) {
            if (frame[static_cast<size_t>(y) * 640 + x] == GlyphColour + 3) return x;
        }
        return -1;
    }

    FrontEndGame fe;
    FrameLog log;
};

TEST_F(OptionsScreen, TheExitKeyLeavesAndChangesNothingAndReturnLeavesToo) {
    const std::vector<uint32_t> before = palette();
    fe.window.pressKeyAt(FrontEndGame::key("Escape"), 1);
    runOptions(fe.game());
    EXPECT_EQ(fe.window.polls(), 2);
    EXPECT_EQ(palette(), before);
    EXPECT_NE(fe.game().audio.channels[MusicChannel].enabled, 0);
    EXPECT_EQ(fe.game().shift.lowDetail, FlagOff);

    fe.window.clearKeys();
    fe.releaseKeysFrom(fe.window.polls() + 1, {"Up", "Return"});
    runOptions(fe.game());
    EXPECT_EQ(fe.window.polls(), 6);
}

TEST_F(OptionsScreen, GammaStartsAgainAtOneOnEveryVisit) {
    fe.releaseKeysFrom(1, {"Return", "Return", "Return", "Escape"});
    runOptions(fe.game());
    EXPECT_EQ(palette(), paletteFor(1.2f));  // 0.8, 0.6, 1.2

    fe.window.clearKeys();
    fe.releaseKeysFrom(fe.window.polls() + 1, {"Return", "Escape"});
    runOptions(fe.game());
    EXPECT_EQ(palette(), paletteFor(0.8f));
    EXPECT_NE(paletteFor(0.8f), paletteFor(1.0f));
}

TEST_F(OptionsScreen, MusicSwitchShowsItsNewStateOnTheNextFrame) {
    fe.releaseKeysFrom(1, {"Down", "Return", "Escape", "Return", "Escape"});
    runOptions(fe.game());
    EXPECT_EQ(fe.game().audio.channels[MusicChannel].enabled, 0);
    // Frames drawn at polls 1..4 show "music on"; from poll 5 on, "music off", which is
    // longer. The selected entry blinks, so compare frames where it shows.
    int on = -1, off = -1;
    for (size_t f = 0; f < log.frames.size(); ++f) {
        const int edge = entryRightEdge(log.frames[f], 2);
        if (edge < 0) continue;
        if (log.polls[f] <= 4) on = edge;
        if (log.polls[f] == 5) off = edge;
    }
    ASSERT_GT(on, 0);
    EXPECT_GT(off, on);

    // Selecting it again switches the music back on.
    fe.window.clearKeys();
    fe.releaseKeysFrom(fe.window.polls() + 1, {"Down", "Return", "Escape"});
    runOptions(fe.game());
    EXPECT_NE(fe.game().audio.channels[MusicChannel].enabled, 0);
}

TEST_F(OptionsScreen, DetailAndAssistSwitchesToggleTheShiftsFlags) {
    const struct {
        std::vector<const char*> keys;
        uint8_t lowDetail, assists;
    } visits[] = {
        {{"Up", "Up", "Up", "Return", "Escape"}, FlagOn, FlagOff},  // 1 -> 5 -> 4 -> 3
        {{"Up", "Up", "Return", "Escape"}, FlagOn, FlagOn},         // 1 -> 5 -> 4
        {{"Down", "Down", "Return", "Escape"}, FlagOff, FlagOn},    // 1 -> 2 -> 3
        {{"Down", "Down", "Down", "Return", "Escape"}, FlagOff, FlagOff},
    };
    for (const auto& visit : visits) {
        fe.window.clearKeys();
        fe.releaseKeysFrom(fe.window.polls() + 1, visit.keys);
        runOptions(fe.game());
        EXPECT_EQ(fe.game().shift.lowDetail, visit.lowDetail);
        EXPECT_EQ(fe.game().shift.assists, visit.assists);
    }
}

TEST_F(OptionsScreen, EntriesStandInAColumnOverTheFloor) {
    fe.window.pressKeyAt(FrontEndGame::key("Escape"), 3);
    runOptions(fe.game());
    // The first frame, drawn at poll 1 and shown once the dissolve in has revealed it:
    // all five entries, the last 16 rows above the floor.
    std::vector<uint8_t> frame;
    for (size_t f = 0; f < log.frames.size(); ++f) {
        if (log.polls[f] == 1) frame = log.frames[f];
    }
    ASSERT_FALSE(frame.empty());
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(frame[static_cast<size_t>(EntryTop + 20 * i) * 640 + 276], GlyphColour + 3) << i;
        EXPECT_NE(frame[static_cast<size_t>(EntryTop + 20 * i) * 640 + 275], GlyphColour + 3) << i;
    }
    EXPECT_NE(frame[(EntryTop + 19) * 640 + 276], GlyphColour + 3);
}

TEST(OptionsPicture, SunBandsGrowUpwardsFromAnEmptyBottom) {
    Image* image = createImage(640, 480);
    drawOptionsBackground(*image);
    const int sunLo = 173, sunHi = 183;
    for (int y = 288; y < 480; ++y) EXPECT_FALSE(rowHasColourIn(*image, y, sunLo, sunHi)) << y;
    for (int y = 0; y < 120; ++y) EXPECT_FALSE(rowHasColourIn(*image, y, sunLo, sunHi)) << y;

    // Going up from row 287: runs of sun rows separated by single empty rows. The disc
    // reaches up to row 120, but there only its centre point would lie on the circle,
    // which is not inside it: the top band shows 28 of its 29 rows.
    EXPECT_FALSE(rowHasColourIn(*image, 120, sunLo, sunHi));
    std::vector<int> bands;
    int run = 0;
    for (int y = 287; y >= 121; --y) {
        if (rowHasColourIn(*image, y, sunLo, sunHi)) {
            ++run;
        } else {
            EXPECT_GT(run, 0) << "two empty rows at " << y;
            bands.push_back(run);
            run = 0;
        }
    }
    bands.push_back(run);
    EXPECT_EQ(bands, (std::vector<int>{1, 2, 3, 5, 8, 13, 20, 31, 47, 28}));
    // Alternate rows lean one pixel right and left: row 240 spans 202..440, row 241
    // 200..438, in the band's colour 173 + floor(10 (y - 120) / 240).
    auto sun = [&](int x, int y) { return getPixel(*image, x, y) == 178u; };
    EXPECT_TRUE(sun(202, 240) && sun(440, 240));
    EXPECT_FALSE(sun(201, 240) || sun(441, 240));
    EXPECT_TRUE(sun(200, 241) && sun(438, 241));
    EXPECT_FALSE(sun(199, 241) || sun(439, 241));
    destroyImage(image);
}

TEST(OptionsPicture, SkyBandsBlendIntoTheirNeighbours) {
    Image* image = createImage(640, 480);
    drawOptionsBackground(*image);
    // Row y has t = y / 30: the band round(1 + t), and where t has a half or more, every
    // pixel with x + y even takes entry round(t). Where both round to even (t = 0.5,
    // 2.5) those are two steps apart, and the row blends with the band just above
    // instead; where both round alike (t = 1.5, 3.5) the row stays plain.
    struct Row {
        int y;
        uint32_t even, odd;  // colours at x = 0 and x = 1
    };
    const Row rows[] = {{0, 209, 209},   {15, 210, 209}, {20, 209, 210}, {30, 210, 210},
                        {45, 210, 210},  {75, 206, 211}, {105, 206, 206}, {479, 63, 62}};
    for (const Row& row : rows) {
        EXPECT_EQ(getPixel(*image, 0, row.y), row.even) << row.y;
        EXPECT_EQ(getPixel(*image, 1, row.y), row.odd) << row.y;
    }
    destroyImage(image);
}

TEST(OptionsPicture, FloorStartsAtRow289AndScrollsBySquareRows) {
    Image* a = createImage(640, 480);
    Image* b = createImage(640, 480);
    fillImage(*a, 1);
    fillImage(*b, 1);
    EXPECT_EQ(drawOptionsFloor(*a, 0.0), 289);
    drawOptionsFloor(*b, -1.0);
    EXPECT_FALSE(rowHasColourIn(*a, 288, 255, 255));
    EXPECT_TRUE(rowHasColourIn(*a, 289, 255, 255));
    EXPECT_TRUE(rowHasColourIn(*a, 479, 255, 255));
    // One square row later every pixel of the first rows has the other colour.
    for (int x = 0; x < 640; ++x) EXPECT_NE(getPixel(*a, x, 289), getPixel(*b, x, 289)) << x;
    // Squares are about 10 pixels wide at the top: the middle column starts a square.
    EXPECT_EQ(getPixel(*a, 320, 289), 255u);
    EXPECT_EQ(getPixel(*a, 326, 289), 1u);
    destroyImage(a);
    destroyImage(b);
}

}  // namespace
}  // namespace hc
