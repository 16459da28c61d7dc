// The options screen: its entries and their effects, the gamma cycle, and the sunset
// picture behind them.
#include "frontend/options.h"

#include <gtest/gtest.h>

#include <vector>

#include "frontend/game.h"
#include "frontend_fixture.h"
#include "platform/screen.h"

namespace hc {
namespace {

// Entry i stands at row EntryTop + 20 i, the last one 16 rows above the floor at 289.
constexpr int EntryTop = 289 - 16 - 20 * 5;

bool rowHasColourIn(const Image& image, int y, uint32_t lo, uint32_t hi) {
    for (int x = 0; x < image.width; ++x) {
        if (getPixel(image, x, y) >= lo && getPixel(image, x, y) <= hi) return true;
    }
    return false;
}

TEST(OptionsEntries, TextsFollowTheSettingsAndGammaCyclesInSinglePrecision) {
    AudioEngine audio;
    Shift shift;
    audio.channels[MusicChannel].enabled = -1;
    const char* on[] = {"", "gamma adjust", "music on", "high detail gfx", "classic mode", "return", ""};
    for (int i = 0; i <= 6; ++i) EXPECT_EQ(optionsEntryText(i, audio, shift), on[i]);
    audio.channels[MusicChannel].enabled = 0;
    shift.lowDetail = FlagOn;
    shift.assists = FlagOn;
    EXPECT_EQ(optionsEntryText(2, audio, shift), "music off");
    EXPECT_EQ(optionsEntryText(3, audio, shift), "low detail gfx");
    EXPECT_EQ(optionsEntryText(4, audio, shift), "assists on");
    // 1.0 - 0.2 - 0.2 in floats lies just above 0.6 and is kept; one more step wraps.
    float g = 1.0f;
    for (float expected : {0.8f, 0.6f, 1.2f, 1.0f, 0.8f}) EXPECT_FLOAT_EQ(g = nextGamma(g), expected);
    EXPECT_GT(static_cast<double>(nextGamma(0.8f)), 0.6);
    EXPECT_EQ(nextGamma(0.6f), 1.2f);
}

class OptionsScreen : public ::testing::Test {
protected:
    void SetUp() override {
        fe.game().audio.channels[MusicChannel].enabled = -1;
        logFrames(fe, log);
    }
    void run(const std::vector<const char*>& keys) {
        log = FrameLog{};
        fe.window.clearKeys();
        fe.releaseKeysFrom(fe.window.polls() + 1, keys);
        runOptions(fe.game());
    }
    // The palette that a gamma gives, from the screen's untouched base palette.
    std::vector<uint32_t> paletteFor(float gamma) {
        const std::vector<uint32_t> saved = palette();
        applyGamma(fe.game().screen, gamma);
        const std::vector<uint32_t> words = palette();
        std::copy(saved.begin(), saved.end(), fe.game().screen.colourWords);
        return words;
    }
    std::vector<uint32_t> palette() { return {fe.game().screen.colourWords, fe.game().screen.colourWords + 256}; }

    FrontEndGame fe;
    FrameLog log;
};

TEST_F(OptionsScreen, TheExitKeyLeavesAtOnceAndChangesNothingAsReturnDoes) {
    const std::vector<uint32_t> before = palette();
    run({"Escape"});
    EXPECT_EQ(fe.window.polls(), 2);
    run({"Up", "Return"});
    EXPECT_EQ(fe.window.polls(), 6);
    EXPECT_EQ(palette(), before);
    EXPECT_NE(fe.game().audio.channels[MusicChannel].enabled, 0);
    EXPECT_EQ(fe.game().shift.lowDetail, FlagOff);
}

TEST_F(OptionsScreen, GammaStartsAgainAtOneOnEveryVisit) {
    run({"Return", "Return", "Return", "Escape"});
    EXPECT_EQ(palette(), paletteFor(1.2f));  // 0.8, 0.6, 1.2
    run({"Return", "Escape"});
    EXPECT_EQ(palette(), paletteFor(0.8f));
    EXPECT_NE(paletteFor(0.8f), paletteFor(1.0f));
}

TEST_F(OptionsScreen, EntriesStandInAColumnAndTheMusicSwitchShowsItsStateNextFrame) {
    run({"Down", "Return", "Escape"});
    EXPECT_EQ(fe.game().audio.channels[MusicChannel].enabled, 0);
    // The rightmost column of entry 2's text: "music on" up to poll 4, then "music off",
    // from x = 276 at seven pixels a letter, three for the i, ten for the last glyph.
    auto rightEdge = [](const std::vector<uint8_t>& frame) {
        for (int x = 639; x >= 0; --x) {
            if (frame[static_cast<size_t>(EntryTop + 45) * 640 + x] == GlyphColour + 3) return x;
        }
        return -1;
    };
    int on = -1, off = -1;
    size_t first = 0;  // the last frame of poll 1, once the dissolve in has revealed it
    for (size_t f = 0; f < log.frames.size(); ++f) {
        if (log.polls[f] == 1) first = f;
        if (rightEdge(log.frames[f]) < 0) continue;  // blinking
        if (log.polls[f] <= 4) on = rightEdge(log.frames[f]);
        if (log.polls[f] == 5) off = rightEdge(log.frames[f]);
    }
    EXPECT_EQ(on, 276 + 6 * 7 + 3 + 9);
    EXPECT_EQ(off, 276 + 7 * 7 + 3 + 9);
    for (int i = 1; i <= 5; ++i) {  // the whole column on the first frame
        const size_t row = static_cast<size_t>(EntryTop + 20 * i) * 640;
        EXPECT_EQ(log.frames[first][row + 276], GlyphColour + 3) << i;
        EXPECT_NE(log.frames[first][row + 275], GlyphColour + 3) << i;
        EXPECT_NE(log.frames[first][row - 640 + 276], GlyphColour + 3) << i;
    }
    run({"Down", "Return", "Escape"});
    EXPECT_NE(fe.game().audio.channels[MusicChannel].enabled, 0);
}

TEST_F(OptionsScreen, DetailAndAssistSwitchesToggleTheShiftsFlags) {
    const struct { std::vector<const char*> keys; uint8_t lowDetail, assists; } visits[] = {
        {{"Up", "Up", "Up", "Return", "Escape"}, FlagOn, FlagOff},  // 1 -> 5 -> 4 -> 3
        {{"Up", "Up", "Return", "Escape"}, FlagOn, FlagOn},         // 1 -> 5 -> 4
        {{"Down", "Down", "Return", "Escape"}, FlagOff, FlagOn},    // 1 -> 2 -> 3
        {{"Down", "Down", "Down", "Return", "Escape"}, FlagOff, FlagOff},
    };
    for (const auto& visit : visits) {
        run(visit.keys);
        EXPECT_EQ(fe.game().shift.lowDetail, visit.lowDetail);
        EXPECT_EQ(fe.game().shift.assists, visit.assists);
    }
}

TEST(OptionsPicture, SunBandsGrowUpwardsFromAnEmptyBottom) {
    Image* image = createImage(640, 480);
    drawOptionsBackground(*image);
    // The disc spans rows 120..360; rows 288..360 stay empty, then going up come bands
    // of 1, 2, 3, 5, 8, 13, 20, 31 and 47 rows between single empty rows, and 28 of the
    // last 29 (at row 120 only the centre would lie on the circle, not inside it).
    std::vector<int> bands;
    int run = 0;
    for (int y = 479; y >= 0; --y) {
        const bool sun = rowHasColourIn(*image, y, 173, 183);
        if (sun) ++run;
        if (!sun && run > 0) bands.push_back(run), run = 0;
        EXPECT_FALSE(sun && y >= 288) << "sun in the empty bottom at " << y;
        EXPECT_FALSE(!sun && y > 120 && y < 287 && !rowHasColourIn(*image, y + 1, 173, 183)) << "two gaps at " << y;
    }
    EXPECT_EQ(bands, (std::vector<int>{1, 2, 3, 5, 8, 13, 20, 31, 47, 28}));
    // Alternate rows lean one pixel right and left: row 240 spans 202..440, row 241
    // 200..438, in the band's colour 173 + floor(10 (y - 120) / 240).
    const struct {
        int x, y;
        bool sun;
    } edges[] = {{202, 240, true}, {440, 240, true}, {201, 240, false}, {441, 240, false},
                 {200, 241, true}, {438, 241, true}, {199, 241, false}, {439, 241, false}};
    for (const auto& e : edges) EXPECT_EQ(getPixel(*image, e.x, e.y) == 178u, e.sun) << e.x << "," << e.y;

    // Sky row y has t = y / 30: the band round(1 + t), and where t has a half or more,
    // pixels with x + y even take entry round(t); where both round to even (t = 0.5,
    // 2.5) the row blends with the band just above instead, and where both round alike
    // (t = 1.5, 3.5) it stays plain.
    const struct {
        int y;
        uint32_t even, odd;  // colours at x = 0 and x = 1
    } rows[] = {{0, 209, 209},  {15, 210, 209},  {20, 209, 210},  {30, 210, 210},
                {45, 210, 210}, {75, 206, 211},  {105, 206, 206}, {479, 63, 62}};
    for (const auto& row : rows) {
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
    EXPECT_TRUE(rowHasColourIn(*a, 479, 255, 255));
    // One square row later every pixel of the first row has the other colour; squares
    // are about 10 pixels wide at the top, the middle column starting one.
    for (int x = 0; x < 640; ++x) EXPECT_NE(getPixel(*a, x, 289), getPixel(*b, x, 289)) << x;
    EXPECT_EQ(getPixel(*a, 320, 289), 255u);
    EXPECT_EQ(getPixel(*a, 326, 289), 1u);
    // At the bottom they are 10 + 190 = 200 wide, in square row round(190 / 12.5) = 15:
    // column 420 is 0.5 squares out (rounded to even: 0), column 421 in the next.
    EXPECT_EQ(getPixel(*a, 420, 479), 1u);
    EXPECT_EQ(getPixel(*a, 421, 479), 255u);
    destroyImage(a);
    destroyImage(b);
}

}  // namespace
}  // namespace hc
