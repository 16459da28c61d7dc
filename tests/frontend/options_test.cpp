// The options screen: its entries and their effects, the gamma cycle, and the sunset picture behind.
#include "frontend/options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <tuple>
#include <vector>

#include "frontend/game.h"
#include "frontend_fixture.h"
#include "platform/screen.h"
#include "support/digest.h"

namespace hc {
namespace {

// Entry i stands at row EntryTop + 20 i, the last one 16 rows above the floor at 289.
constexpr int EntryTop = 289 - 16 - 20 * OptionsEntries;

bool rowHasColourIn(const Image& image, int y, uint32_t lo, uint32_t hi) {
    return std::any_of(image.pixels + y * image.pitch, image.pixels + y * image.pitch + image.width, [&](uint32_t p) { return p >= lo && p <= hi; });
}

TEST(OptionsEntries, TextsFollowTheSettingsAndGammaCyclesInSinglePrecision) {
    AudioEngine audio;
    Shift shift;  // entry texts with the switches on, then off
    audio.channels[MusicChannel].enabled = -1;
    const std::map<int, const char*> on = {{0, ""}, {1, "gamma adjust"}, {2, "music on"}, {3, "high detail gfx"},
                                           {OptionsAssists, "classic mode"}, {OptionsEntries, "return"}, {OptionsEntries + 1, ""}};
    for (auto [i, text] : on) EXPECT_EQ(optionsEntryText(i, audio, shift), text) << i;
    audio.channels[MusicChannel].enabled = 0, shift.lowDetail = shift.assists = FlagOn;
    EXPECT_EQ(std::string(optionsEntryText(2, audio, shift)) + "/" + std::string(optionsEntryText(3, audio, shift)) + "/" +
                  std::string(optionsEntryText(4, audio, shift)), "music off/low detail gfx/assists on");
    // 1.0 - 0.2 - 0.2 in floats lies just above 0.6 and is kept; one more step wraps.
    float g = 1.0f;
    for (float expected : {0.8f, 0.6f, 1.2f, 1.0f, 0.8f}) EXPECT_FLOAT_EQ(g = nextGamma(g), expected);
    EXPECT_EQ(std::tuple(bool(static_cast<double>(nextGamma(0.8f)) > 0.6), nextGamma(0.6f)), std::tuple(true, 1.2f));
}

struct OptionsScreen : ::testing::Test {
    FrontEndGame fe;
    FrameLog log;
    void run(const std::vector<const char*>& keys) { fe.pressFromNextPoll(keys, log), runOptions(fe.game()); }
    std::vector<uint32_t> palette() { return {fe.game().screen.colourWords, fe.game().screen.colourWords + 256}; }
    // The palette that a gamma gives, from the screen's untouched base palette.
    std::vector<uint32_t> paletteFor(float gamma) {
        const std::vector<uint32_t> saved = palette();
        applyGamma(fe.game().screen, gamma);
        const std::vector<uint32_t> words = palette();
        return std::copy(saved.begin(), saved.end(), fe.game().screen.colourWords), words;
    }
};

// Each visit from entry 1 (entry 5 is return, 4 the assists, 3 the detail); gamma starts again at 1 on every visit,
// the exit key leaves at once, and the switches keep their state between visits.
TEST_F(OptionsScreen, EachVisitAppliesItsChoicesAndNothingElse) {
    fe.game().audio.channels[MusicChannel].enabled = -1;
    const struct { std::vector<const char*> keys; float gamma; bool music; uint8_t lowDetail, assists; } visits[] = {
        {{"Escape"}, 1.0f, true, FlagOff, FlagOff}, {{"Up", "Return"}, 1.0f, true, FlagOff, FlagOff},
        {{"Return", "Return", "Return", "Escape"}, 1.2f, true, FlagOff, FlagOff}, {{"Return", "Escape"}, 0.8f, true, FlagOff, FlagOff},
        {{"Up", "Up", "Up", "Return", "Escape"}, 0.8f, true, FlagOn, FlagOff}, {{"Up", "Up", "Return", "Escape"}, 0.8f, true, FlagOn, FlagOn},
        {{"Down", "Down", "Return", "Escape"}, 0.8f, true, FlagOff, FlagOn}, {{"Down", "Return", "Escape"}, 0.8f, false, FlagOff, FlagOn},
        {{"Down", "Down", "Down", "Return", "Escape"}, 0.8f, false, FlagOff, FlagOff}, {{"Down", "Return", "Escape"}, 0.8f, true, FlagOff, FlagOff},
    };
    const std::vector<uint32_t> base = palette();
    for (const auto& v : visits) {
        const int64_t before = fe.window.polls();
        run(v.keys);  // each key seen released two polls after the last: the screen leaves at once
        EXPECT_EQ(std::tuple(fe.window.polls() - before, palette(), (fe.game().audio.channels[MusicChannel].enabled != 0), fe.game().shift.lowDetail, fe.game().shift.assists),
                  std::tuple(2 * static_cast<int64_t>(v.keys.size()), v.gamma == 1.0f ? base : paletteFor(v.gamma), v.music, v.lowDetail, v.assists)) << v.keys.size() << " " << v.gamma;
    }
    EXPECT_NE(paletteFor(0.8f), base);
}

TEST_F(OptionsScreen, EntriesStandInAColumnAndTheMusicSwitchShowsItsStateNextFrame) {
    fe.game().audio.channels[MusicChannel].enabled = -1;
    run({"Down", "Return", "Escape"});
    // Entry 2's last column: "music on" up to poll 4, then "music off" (from x = 276: 7 a letter, 3 the i, 10 the last).
    auto rightEdge = [](const std::vector<uint8_t>& f) { const auto row = f.begin() + (EntryTop + 45) * 640;
        return int(std::find(std::make_reverse_iterator(row + 640), std::make_reverse_iterator(row), GlyphColour + 3).base() - row) - 1; };
    int on = -1, off = -1;
    size_t first = 0;  // the last frame of poll 1, once the dissolve in has revealed it
    for (size_t f = 0; f < log.frames.size(); ++f) {
        if (log.polls[f] == 1) first = f;
        if (const int edge = rightEdge(log.frames[f]); edge >= 0 && log.polls[f] <= 5) (log.polls[f] <= 4 ? on : off) = edge;  // none while blinking
    }
    EXPECT_EQ(std::make_pair(on, off), std::make_pair(276 + 6 * 7 + 3 + 9, 276 + 7 * 7 + 3 + 9));
    for (int i = 1; i <= OptionsEntries; ++i) {  // the whole column on the first frame
        const uint8_t* row = log.frames[first].data() + (EntryTop + 20 * i) * 640;
        EXPECT_EQ(std::tuple(row[276], bool(row[275] != GlyphColour + 3), bool(row[276 - 640] != GlyphColour + 3)), std::tuple(GlyphColour + 3, true, true)) << i;
    }
}

TEST(OptionsPicture, SunBandsGrowUpwardsFromAnEmptyBottomAndTheFloorScrolls) {
    Image *image = createImage(640, 480), *b = createImage(640, 480);
    drawOptionsBackground(*image);
    // The disc spans rows 120..360; 288..360 stay empty, then upwards bands of 1, 2, 3, 5, 8, 13, 20, 31, 47
    // rows between single empty rows, and 28 of the last 29 (at row 120 only the centre lies on the circle).
    std::vector<int> bands = {0};
    for (int y = 287; y >= 0; --y) {
        if (rowHasColourIn(*image, y, 173, 183)) ++bands.back();
        else if (bands.back() > 0) bands.push_back(0);
    }
    for (int y = 288; y < 480; ++y) EXPECT_FALSE(rowHasColourIn(*image, y, 173, 183)) << "sun in the empty bottom at " << y;
    EXPECT_EQ(std::tuple(bands, test::fnv1a(*image)), std::tuple(std::vector<int>{1, 2, 3, 5, 8, 13, 20, 31, 47, 28, 0}, 14918300055789121985ull)) << "with the picture's golden digest: a change to it is made on purpose";
    // Alternate rows lean one pixel right and left: row 240 spans 202..440, row 241
    // 200..438, in the band's colour 173 + floor(10 (y - 120) / 240).
    for (auto [x, y, sun] : {std::tuple{202, 240, true}, {440, 240, true}, {201, 240, false}, {441, 240, false},
                             {200, 241, true}, {438, 241, true}, {199, 241, false}, {439, 241, false}})
        EXPECT_EQ(getPixel(*image, x, y) == 178u, sun) << x << "," << y;
    // Sky row y has t = y / 30: the band round(1 + t), and where t has a half or more, pixels with x + y even
    // take entry round(t); where both round to even (t = 0.5, 2.5) the row blends with the band above
    // instead, where both round alike (t = 1.5, 3.5) it stays plain. Colours at x = 0 and x = 1:
    for (auto [y, even, odd] : {std::tuple{0, 209u, 209u}, {15, 210u, 209u}, {20, 209u, 210u}, {30, 210u, 210u},
                                {45, 210u, 210u}, {75, 206u, 211u}, {105, 206u, 206u}, {479, 63u, 62u}})
        EXPECT_EQ(std::tuple(getPixel(*image, 0, y), getPixel(*image, 1, y)), std::tuple(even, odd)) << y;
    // The floor from row 289; one square row later every pixel of its first row has the other colour; squares
    // about 10 wide at the top, the middle column starting one; at the bottom 10 + 190 = 200 wide, in square
    // row round(190 / 12.5) = 15: column 420 is 0.5 squares out (rounded to even: 0), column 421 in the next.
    fillImage(*image, 1), fillImage(*b, 1), drawOptionsFloor(*b, -1.0);
    EXPECT_EQ(drawOptionsFloor(*image, 0.0), 289);
    EXPECT_EQ(std::tuple(rowHasColourIn(*image, 288, 255, 255), rowHasColourIn(*image, 479, 255, 255), test::fnv1a(*image), test::fnv1a(*b)),
              std::tuple(false, true, 15972669948332652893ull, 12460823070501084013ull)) << "with the pictures' golden digests";
    for (int x = 0; x < 640; ++x) EXPECT_NE(getPixel(*image, x, 289), getPixel(*b, x, 289)) << x;
    for (auto [x, y, c] : {std::tuple{320, 289, 255u}, {326, 289, 1u}, {420, 479, 1u}, {421, 479, 255u}})
        EXPECT_EQ(getPixel(*image, x, y), c) << x << "," << y;
    destroyImage(image), destroyImage(b);
}

}  // namespace
}  // namespace hc
