// The cockpit overlay over a plain picture with synthetic artwork: a shift's scenes, the speech bubble,
// the seven-segment read-outs and instrument texts, and the dashboard minimap over a hand-made street.
#include <gmock/gmock.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "city/city_map.h"
#include "hud_fixture.h"
#include "render/damage_overlay.h"
#include "render/minimap.h"

namespace hc {
namespace {

using test::HudRig;

constexpr int White = 22, Paper = 22, Black = 255, Ink = 255, DarkRed = 172, Crimson = 27, Green = 222, Rose = 180, Blue = 23, Purple = 25;
constexpr int Bg = test::Background, Dash = test::DashColour, Drop = test::DropColour, Overlay = 77;

int glyph(int g, int style) { return test::glyphColour(g, style); }

// The pixels of one colour in a rectangle: exactly count of them, or at least -count when negative.
struct Probe { int x1, y1, x2, y2, colour, count; };
Probe at(int x, int y, int colour) { return {x, y, x, y, colour, 1}; }

struct Scene { const char* name; uint64_t digest; std::function<void(HudRig&)> setup; std::vector<Probe> probes; };

void ride(HudRig& rig, float x, float y, float heading = 0) {
    rig.shift.passengerAboard = 3, rig.shift.passengers[3].portrait = 5, rig.shift.passengers[3].destination.x = x, rig.shift.passengers[3].destination.y = y;
    rig.player.heading = heading, rotateBody(rig.player, 0);
}

// The rig's cab stands at (1000, 1000) heading +x; the wiper rests under the dashboard.
// Lamp A is (284, 407)-(295, 420), lamp B (297, 407)-(308, 420), 168 pixels each.
TEST(Hud, EachSceneDrawsWhatItsRulesSay) {
    std::vector<Scene> scenes = {
        {"engine off, rolling", 1776220040599142586ull, [](HudRig& r) { r.player.vx = 0.3f, r.shift.pendingFare = 55; },
         {// The crack at no damage: one pixel pair at the foot of the windshield.
          at(288, 360, White), at(289, 360, Black), {0, 0, 639, 359, White, 0},
          // Lamp A lit, lamp B off; no fare, score, turbo or speed read-out.
          {284, 407, 295, 420, test::LampAColour, 168}, {297, 407, 308, 420, Black, 168},
          {570, 305, 639, 340, DarkRed, 0}, {15, 330, 50, 350, Blue, 0}, {280, 455, 330, 475, Crimson, 0},
          // The needle resting at the lower left, two pixels thick: from the pivot (233, 441) 34
          // out at 140 degrees, its tip's block at (207, 463); the knob at the top of the wheel.
          at(210, 460, DarkRed), {220, 440, 220, 470, DarkRed, -2}, {240, 400, 280, 435, DarkRed, 0},
          at(207, 463, DarkRed), at(207, 464, DarkRed), at(206, 463, Dash), at(207, 462, Dash),
          at(293, 360, DarkRed), at(293, 363, DarkRed), at(293, 364, Dash),
          // The resting blade hangs from its pivot (320, 360), under the cockpit below it.
          {319, 359, 321, 360, Black, 6}, at(320, 358, Bg)}},
        {"engine running", 839629826890647374ull, [](HudRig& r) { r.shift.engineRunning = FlagOn, r.shift.pendingFare = 37, r.shift.score = 12345, r.shift.turboBoost = 0.37f,
             r.shift.engineHeat = 4.0f, r.shift.minutesLeft = 12, r.shift.secondsLeft = 5.9, r.player.vx = 0.3f, r.player.vy = 0.4f, r.player.turnRate = 1.2f; },
         {{284, 407, 295, 420, Black, 168}, {297, 407, 308, 420, test::LampBColour, 168},
          // Fare "0037": the first 0's top bar; score "12345": its "1" and a fifth digit.
          {579, 314, 582, 314, DarkRed, 4}, {583, 327, 583, 329, DarkRed, 3}, {606, 326, 611, 334, DarkRed, -1},
          // Turbo "0.3": the dot is the middle cell's lower left stroke; clock "12:05": the minutes' "1" and the colon.
          {28, 341, 28, 343, Blue, 3}, {283, 392, 283, 394, Purple, 3}, at(294, 394, Purple), at(294, 397, Purple),
          // Speed "100": the crimson "1" with its black shadow a pixel down and left.
          {293, 463, 293, 465, Crimson, 3}, {292, 464, 292, 466, Black, 3},
          at(218, 415, DarkRed), at(390, 383, DarkRed), {293, 360, 293, 360, DarkRed, 0}}},  // needle at 100 of 270; knob turned right
        {"reverse", 4821584543991568993ull, [](HudRig& r) { r.shift.engineRunning = r.shift.reverseGear = FlagOn, r.player.vx = 0.2f; },
         // " r ": the middle cell's lower left stroke and middle bar; the needle at rest.
         {{295, 467, 295, 469, Crimson, 3}, {296, 466, 299, 466, Crimson, 4}, {288, 462, 294, 471, Crimson, 0}, at(210, 460, DarkRed)}},
        {"half damage", 2237257440027877717ull, [](HudRig& r) { r.shift.damage[1] = 0.5f; },
         // 181 rows of crack: the zig-zag 16 pixels aside at the foot, back in the middle 16 rows up; the branch from row 239 up; no overlay.
         {at(288, 360, White), at(276, 344, White), {0, 180, 639, 180, White, 2}, {0, 179, 639, 179, White, 0}, {80, 0, 83, 3, Overlay, 0}}},
        {"full damage", 8000374447210945281ull, [](HudRig& r) { r.shift.damage[1] = 1.0f; },
         // Below row 240 a single crack; above it the branch, a pixel further left each row; at the top the crack
         // has leant 90 pixels right and the branch is 240 to its left. The heavy overlay at (80, 0), 0 transparent.
         {at(299, 300, White), at(300, 300, Black), {0, 300, 639, 300, White, 1}, at(349, 100, White),
          at(209, 100, White), at(370, 0, White), at(371, 0, Black), at(130, 0, White), at(131, 0, Black),
          {80, 0, 83, 3, Overlay, 15}, at(81, 1, Bg)}},
        {"drops and blade", 5673431366769798408ull, [](HudRig& r) { r.shift.raindrops[7].active = FlagOn, r.shift.raindrops[7].body.x = 100.4f, r.shift.raindrops[7].body.y = 50.6f,
             r.shift.raindrops[8].body.x = 200, r.shift.raindrops[8].body.y = 50, r.shift.wiperAngle = -1.570795; },  // drop 8 dry; the wiper straight up
         {{99, 50, 102, 53, Drop, 16}, at(98, 50, Bg), at(103, 54, Bg), {190, 40, 210, 60, Drop, 0},
          // The blade three pixels wide up to the top (where the delivered count covers it).
          {319, 10, 321, 300, Black, 873}, {318, 10, 318, 300, Black, 0}, {322, 10, 322, 300, Black, 0}}},
        // 384 pixels long: on the diagonal its tip (592, 88) lies inside the screen.
        {"blade on the diagonal", 11560921076400536750ull, [](HudRig& r) { r.shift.wiperAngle = -0.785398; },
         {at(593, 87, Black), at(595, 85, Bg), {0, 0, 639, 99, Black, -1}}},
        {"low detail", 16086723743023080387ull, [](HudRig& r) { r.shift.lowDetail = FlagOn, r.shift.damage[1] = 1.0f, r.shift.wiperAngle = -1.570795,
             r.shift.raindrops[1].active = FlagOn, r.shift.raindrops[1].body.x = r.shift.raindrops[1].body.y = 100; },
         {{0, 0, 639, 299, White, 0}, {0, 0, 639, 299, Black, 0}, {0, 0, 639, 299, Drop, 0}, {278, 391, 311, 399, Purple, -1}}},
        {"passenger ahead", 11685369722520650927ull, [](HudRig& r) { ride(r, 1100, 1000); },
         // The portrait copied opaque, its 0 included; a green dart, tip 15 below the centre (320, 30), barbs 2 radians
         // either side on the same half-height ellipse; the distance 15 centred on row 54 in style 2; no delivered count.
         {at(0, 416, 0), at(1, 416, 105), at(63, 479, 105), at(64, 479, Dash), at(320, 45, Green), at(293, 24, Green), at(347, 24, Green),
          {280, 0, 360, 50, Rose, 0}, {280, 0, 360, 14, Green, 0}, at(310, 54, glyph(27, 2)), at(320, 54, glyph(31, 2)), at(300, 0, Bg)}},
        // With the assists on the guide draws the arrow and its own distance: the HUD leaves both out.
        {"passenger ahead, assists", 16578899233986032903ull, [](HudRig& r) { ride(r, 1100, 1000), r.shift.assists = FlagOn; },
         {{280, 0, 360, 50, Green, 0}, at(310, 54, Bg), at(320, 54, Bg)}},
        {"passenger behind", 16116600929553312531ull, [](HudRig& r) { ride(r, 900, 1000); },
         {at(320, 15, Rose), {280, 0, 360, 14, Rose, 0}, {280, 0, 360, 50, Green, 0}}},
        // To the right (a larger heading turns clockwise) the tip is 30 right of the centre; turning towards it brings it down.
        {"passenger to the right", 10441169048874032568ull, [](HudRig& r) { ride(r, 1000, 1300); }, {at(350, 30, Rose)}},
        {"turning towards the passenger", 2645270776562547049ull, [](HudRig& r) { ride(r, 1000, 1300, 450); },
         {at(350, 30, Bg), {320, 31, 345, 45, Green, -1}}},
        {"nobody aboard", 337070229569905326ull, [](HudRig& r) { r.shift.deliveredCount = 3; },
         // "3/16" centred on row 0 in style 1; no portrait.
         {at(300, 0, glyph(29, 1)), at(310, 0, glyph(46, 1)), at(320, 0, glyph(27, 1)), at(330, 0, glyph(32, 1)), at(340, 0, Bg), at(20, 416, Dash)}},
    };
    // Drops at or far beyond the edges are clipped: the icon's 4 x 4 drop lies 1 left/up to 2 right/down of the point.
    for (auto [x, y, pixels, digest] : {std::tuple{0.4f, 0.4f, 9, 10785017608340516797ull}, {639.6f, 0.4f, 3, 15353172510258662497ull}, {-1.4f, 50.0f, 8, 16118908245643377922ull},
                                        {-1e10f, 0.4f, 0, 1776220040599142586ull}, {0.4f, -1e10f, 0, 1776220040599142586ull}, {1e10f, 1e10f, 0, 1776220040599142586ull}, {-3e9f, -3e9f, 0, 1776220040599142586ull}})
        scenes.push_back({"a drop at an edge", digest, [x = x, y = y](HudRig& r) { r.shift.raindrops[1].active = FlagOn, r.shift.raindrops[1].body.x = x, r.shift.raindrops[1].body.y = y; },
                          {{0, 0, 639, 299, Drop, pixels}}});

    HudRig rig;
    Image* overlay = rig.state->heavyDamageOverlay = createImage(4, 4);
    fillImage(*overlay, Overlay), putPixel(*overlay, 1, 1, 0);
    const auto n = [&](const Probe& p) { return rig.count(p.x1, p.y1, p.x2, p.y2, static_cast<uint8_t>(p.colour)); };
    for (const Scene& scene : scenes) {
        rig.reset(), scene.setup(rig), rig.draw();
        EXPECT_EQ(test::fnv1a(*rig.target), scene.digest) << scene.name << ": the picture's golden digest: a change to it is made on purpose";
        for (const Probe& p : scene.probes) EXPECT_TRUE(p.count < 0 ? n(p) >= -p.count : n(p) == p.count) << scene.name << ": colour " << p.colour << " at " << p.x1 << "," << p.y1 << ": " << n(p);
    }
    rig.state->heavyDamageOverlay = nullptr, destroyImage(overlay);
}

TEST(Hud, SpeechLineStaysForItsTicksOfGameTime) {
    HudRig rig;
    // The timer before and after a frame of 2.5 ticks; the line shows while it is above 0.
    for (auto [before, after] : {std::pair{4.0, 1.5}, {1.5, -1.0}, {-1.0, -1.0}, {0.0, 0.0}}) {
        rig.reset(), rig.shift.speechText = "hi", rig.shift.speechTimer = before, rig.draw(2.5);
        EXPECT_EQ(std::tuple(rig.shift.speechTimer, rig.glyphAt(310, 240)), std::tuple(after, (before > 0 ? "7/0" : "-"))) << before;  // row 240, style 0
    }
}

TEST(Hud, CrackedGlassPictureIsFixedAndKept) {
    Image* first = createHeavyDamageOverlay();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::tuple(first->width, first->height, test::fnv1a(*first)), std::tuple(480, 360, 5795456676056314828ull)) << "with the picture's golden digest: a change to it is made on purpose";
    HudRig rig;
    rig.state->heavyDamageOverlay = first, ensureHeavyDamageOverlay(*rig.state);  // kept, not replaced
    EXPECT_EQ(rig.state->heavyDamageOverlay, first);
    destroyImage(first);
}

TEST(SpeechBubble, ALineWiderThanTheTargetSplitsInTheMiddle) {
    std::string abc;
    for (int k = 0; k < 71; ++k) abc += static_cast<char>('a' + k % 26);
    const struct { std::string text; int width; std::string first, second; } cases[] = {
        {abc.substr(0, 70), 640, abc.substr(0, 35) + "-", abc.substr(35, 35)},
        {abc, 640, abc.substr(0, 35) + "-", abc.substr(35)},  // odd: the larger half second (35.5 rounds to 36, 32.5 to 32)
        {std::string(65, 'a'), 640, std::string(33, 'a') + "-", std::string(32, 'a')},
        {std::string(64, 'a'), 640, std::string(64, 'a'), ""},  // exactly as wide as the screen: one line
        {"hello there", 100, "hello-", " there"},  // the width that decides is the target's
        {"", 640, "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(std::tuple(splitSpeech(c.text, c.width).first, splitSpeech(c.text, c.width).second), std::tuple(c.first, c.second)) << c.text;
}

TEST(SpeechBubble, CentredTwoLineBoxTheTailAndAnyPosition) {
    HudRig rig;
    drawSpeechBubble(rig.font, *rig.target, -1, 240, std::string(70, 'b'));
    // Text area 360 x 20 from (140, 240): paper 5 round it, the outline 1 inside; in style 0 35 b's and "-", then 35 b's.
    const std::tuple<int, int, int> probes[] = {{135, 235, Paper}, {505, 235, Paper}, {134, 235, test::Background}, {506, 250, test::Background},
        {136, 236, Ink}, {504, 264, Ink}, {320, 236, Ink}, {320, 264, Ink}, {320, 265, Paper}, {320, 266, test::Background}, {140, 240, test::glyphColour(1, 0)}, {490, 240, test::glyphColour(44, 0)},
        {140, 250, test::glyphColour(1, 0)}, {480, 250, test::glyphColour(1, 0)}, {490, 250, Paper}};
    for (auto [x, y, colour] : probes) EXPECT_EQ(rig.pixel(x, y), colour) << x << "," << y;
    // Box (95, 45)-(125, 65); the tail starts on the outline's row 64: paper from the box's edge, ink on its
    // left side and on its slanted edge, open above.
    rig.reset(), drawSpeechBubble(rig.font, *rig.target, 100, 50, "hi");
    const int b = 64;
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(std::tuple(rig.pixel(95, b + i), rig.pixel(96, b + i), rig.pixel(106 - i, b + i), i == 10 || rig.pixel(107 - i, b + i) == (i == 0 ? Ink : Paper), i < 2 || rig.pixel(108 - i, b + i) == test::Background),
                  std::tuple(Paper, Ink, Ink, true, true)) << i;
    EXPECT_EQ(std::tuple(rig.pixel(95, b + 11), rig.pixel(100, b + 3)), std::tuple(test::Background, Paper));
    // Anywhere, on any target, nothing is written outside it.
    Image* small = createImage(40, 20);
    fillImage(*small, 0), drawSpeechBubble(rig.font, *small, -1, 5, "a line far wider than forty pixels");
    drawSpeechBubble(rig.font, *small, 35, 15, "edge"), drawSpeechBubble(rig.font, *small, -300, -300, "far away");
    drawSpeechBubble(rig.font, *rig.target, 630, 470, "corner");
    EXPECT_EQ(std::tuple(getPixel(*small, 0, 0), rig.pixel(627, 467), rig.pixel(626, 467), test::fnv1a(*small), test::fnv1a(*rig.target)),
              std::tuple(Paper, Paper, Ink, 11532111181314000205ull, 12099723188103171789ull)) << "with the pictures' golden digests";
    destroyImage(small);
}

TEST(LcdSegments, EveryCharacterLightsItsStrokes) {
    const std::pair<const char*, int> masks[] = {  // capitals and the rest: the middle stroke only
        {" ", 0}, {"0o", 63}, {"1i", 12}, {"2z", 118}, {"3", 94}, {"4", 77}, {"5s", 91}, {"6g", 123}, {"7", 14}, {"8", 127}, {"9", 95}, {"_", 16},
        {"a", 111}, {"b", 121}, {"c", 51}, {"d", 124}, {"e", 115}, {"f", 99}, {"hk", 109}, {"j", 60}, {"l", 49}, {"m", 47}, {"n", 104}, {"p", 103},
        {"q", 79}, {"r", 96}, {"t", 113}, {"u", 61}, {"v", 60}, {"w", 56}, {"x", 100}, {"y", 93}, {".,", 32}, {"AERZ-#!", 64}};
    for (const auto& [chars, mask] : masks)
        for (const char* c = chars; *c; ++c) EXPECT_EQ(lcdSegmentMask(*c), mask) << *c;
    EXPECT_EQ(lcdSegmentMask('\0'), 64);
    // Each stroke in its place of the 6 x 9 cell, a cell every 7 pixels: bit k lights the box strokes[k]
    // (x1, y1, x2, y2); ":" is two dots.
    const int strokes[7][4] = {{0, 1, 0, 3}, {1, 0, 4, 0}, {5, 1, 5, 3}, {5, 5, 5, 7}, {1, 8, 4, 8}, {0, 5, 0, 7}, {1, 4, 4, 4}};
    Image* image = createImage(56, 9);
    fillImage(*image, 0), drawLcdText(*image, 0, 0, "8147cbr:", 9);
    for (int i = 0; i < 56 * 9; ++i) {
        const int cell = i % 56 / 7, x = i % 56 % 7, y = i / 56, mask = cell < 7 ? lcdSegmentMask("8147cbr"[cell]) : 0;
        bool lit = cell == 7 && x == 2 && (y == 3 || y == 6);
        for (const auto& k : strokes) lit = lit || (mask >> (&k - strokes) & 1 && x >= k[0] && x <= k[2] && y >= k[1] && y <= k[3]);
        EXPECT_EQ(getPixel(*image, i % 56, y) == 9, lit) << "cell " << cell << " at " << x << "," << y;
    }
    // Characters off the image are cut, not written outside it (the sanitizer build checks): of "88" at (52, 6)
    // only the first 8's top bar and upper left stroke are left; text at (-20, -5) ends before the image.
    fillImage(*image, 0), drawLcdText(*image, 52, 6, "88", 6), drawLcdText(*image, -20, -5, "888", 6);
    const auto left = std::count(image->pixels, image->pixels + 56 * 9, 6);  // rows of 56 bytes
    EXPECT_EQ(std::tuple(left, getPixel(*image, 53, 6), getPixel(*image, 55, 6), getPixel(*image, 52, 8)), std::tuple(5, 6u, 6u, 6u));
    destroyImage(image);
}

TEST(InstrumentText, PaddingClockTurboAndSpeed) {
    const std::pair<std::string, std::string> texts[] = {
        {zeroPad("7", 4), "0007"}, {zeroPad("", 2), "00"}, {zeroPad("123456", 4), "123456"}, {zeroPad("-5", 3), "0-5"},
        {clockText(12, 5.9), "12:05"}, {clockText(4, 0.0), "04:00"}, {clockText(0, 59.999), "00:59"}, {clockText(123, 7.0), "123:07"},
        // Turbo: the first and last digit of the boost in tenths.
        {turboText(0.37f), "0.3"}, {turboText(0.0f), "0.0"}, {turboText(1.5f), "1.5"}, {turboText(12.3f), "1.3"},
        // Speed: floor(200 s), three digits; 0.06 in single precision is a little less.
        {speedText(0.5f, true, false), "100"}, {speedText(0.004f, true, false), "000"}, {speedText(0.06f, true, false), "011"}, {speedText(2.0f, true, false), "400"},
        {speedText(0.5f, false, false), ""}, {speedText(0.5f, true, true), " r "}};
    for (const auto& [got, want] : texts) EXPECT_EQ(got, want);
    const int values[][2] = {{speedValue(0.5f, true, false), 100}, {speedValue(0.5f, true, true), 0}, {speedValue(0.5f, false, false), 0},
                             {speedValue(NAN, true, false), 0}, {speedValue(INFINITY, true, false), 99999}};
    for (const auto& v : values) EXPECT_EQ(v[0], v[1]);
}

TEST(InstrumentText, NeedleSweepsThreeQuartersClockwise) {
    // y grows downwards, so a positive sine is below the pivot: the needle rests 40 degrees below the left
    // horizontal, stands straight up near 130 and ends 50 degrees below the right horizontal at 270.
    for (auto [speed, cos, sin] : {std::tuple{0, -0.766, 0.643}, {130, 0.0, -1.0}, {270, 0.643, 0.766}, {-130, 0.0, -1.0}})
        EXPECT_THAT(std::tuple(std::cos(needleAngle(speed)), std::sin(needleAngle(speed))), testing::FieldsAre(testing::DoubleNear(cos, 2e-3), testing::DoubleNear(sin, 2e-3))) << speed;
}

constexpr int Sx0 = 540, Sy0 = 392;

// A grid of buildings crossed by one street along x, 32 cells wide (y 1000..1031).
CityMap& streetMap() {
    static CityMap* map = [] { CityMap* m = newCityMap(); for (int i = 0; i < MapSize * 32; ++i) cellAt(*m, i / 32, 1000 + i % 32).flags = Passable; return m; }();
    return *map;
}

struct Panel : HudRig {
    CityMap& map = streetMap();
    Panel() { place(1000, 1016, 0); }
    void place(float x, float y, float heading) { reset(), shift.engineRunning = FlagOn, player.x = x, player.y = y, player.heading = heading, rotateBody(player, 0); }
    void draw() { drawMinimap(map, player, shift, font, *target); }
    uint8_t sample(int i, int j) const { return pixel(Sx0 + i, Sy0 + j); }
};

TEST(MinimapWindow, CentredUnlessTheGridEnds) {
    // Then at the clamp's edges, rounding halves to even; a position that is no number keeps every sample on the grid.
    const struct { float x, y; int zoom, x0, y0; } cases[] = {{1000, 1000, 2, 900, 920}, {30, 30, 2, 0, 0}, {2040, 2040, 2, 1848, 1888},
        {150, 1000, 4, 0, 840}, {1900, 1900, 4, 1648, 1728}, {100, 80, 2, 0, 0}, {100.5f, 81.5f, 2, 0, 2}, {1948, 2008, 2, 1848, 1888},
        {1948.5f, 2008.5f, 2, 1848, 1888}, {NAN, NAN, 4, 0, 0}};
    const auto origin = [](float x, float y, int zoom) { PlayerCar p; p.x = x, p.y = y; return std::pair(minimapWindow(p, zoom).x0, minimapWindow(p, zoom).y0); };
    for (const auto& c : cases) EXPECT_EQ(origin(c.x, c.y, c.zoom), std::pair(c.x0, c.y0)) << c.x << "," << c.y << " zoom " << c.zoom;
}

TEST(Minimap, StreetMarksAndTheCabsArrowAnywhereOnTheGrid) {
    Panel panel;
    panel.draw();
    // Window origin (900, 936): the street covers rows 32..47 of the panel; buildings
    // touch the top edge; the cab's arrow sits round (50, 40).
    for (int i = 0; i < MinimapColumns; ++i) {
        for (int j : {0, 32, 48}) EXPECT_EQ(panel.sample(i, j), Crimson) << i << "," << j;
        for (int j : {20, 40, 60}) EXPECT_TRUE(i == 0 || (j == 40 && i >= 45 && i <= 55) || panel.sample(i, j) == Bg) << i << "," << j;
    }
    // The left edge: outlined where buildings are, open where the street is.
    EXPECT_EQ(std::tuple(panel.sample(0, 20), panel.sample(0, 79), panel.sample(0, 40), test::fnv1a(*panel.target)), std::tuple(Crimson, Crimson, Bg, 8933486772201173113ull)) << "and the golden digest";
    EXPECT_EQ(panel.count(0, 0, 639, 479, Crimson), panel.count(Sx0, Sy0, 639, Sy0 + MinimapRows - 1, Crimson)) << "nothing outside the panel";
    // The cab pointing along +x: tip 4 pixels ahead, base 2 to each side.
    for (auto [i, j, colour] : {std::tuple{54, 40, White}, {50, 38, White}, {50, 42, White}, {49, 40, Bg}}) EXPECT_EQ(panel.sample(i, j), colour) << i << "," << j;

    panel.place(1000, 1016, 0), panel.shift.minimapZoom = FlagOn, panel.draw();  // origin (800, 856), 4 cells a sample: street rows 36..43
    for (auto [j, colour] : {std::pair{36, Crimson}, {44, Crimson}, {32, Bg}, {48, Bg}}) EXPECT_EQ(panel.sample(10, j), colour) << j;
    panel.place(1000, 1016, 0);  // pick-up marks show white, even on an outline
    const int marks[][2] = {{920, 1000}, {960, 1014}, {961, 1014}};  // samples (10, 32), (30, 39), none
    for (auto [x, y] : marks) setCellFlag(cellAt(panel.map, x, y), PickupMark, true);
    panel.draw();
    for (auto [x, y] : marks) setCellFlag(cellAt(panel.map, x, y), PickupMark, false);
    EXPECT_EQ(std::tuple(panel.sample(10, 32), panel.sample(11, 32), panel.sample(30, 39), panel.sample(31, 39), test::fnv1a(*panel.target)), std::tuple(White, Crimson, White, Bg, 17602688042425252107ull));
    // Near the grid's edge the arrow leaves the middle: the window starts at column 0, the cab's sample is
    // column 25 (tip and base), heading +y, down the panel.
    panel.place(50, 1016, 900), panel.draw();
    EXPECT_EQ(std::tuple(panel.sample(25, 44), panel.sample(23, 40), panel.sample(27, 40), panel.count(Sx0 + 45, Sy0 + 35, Sx0 + 55, Sy0 + 45, White)), std::tuple(White, White, White, 0));
    // In the far corner of the grid every sample still lies on it; the cab's is the last.
    panel.place(2047.9f, 2047.9f, 0), panel.draw();
    EXPECT_EQ(panel.sample(99, 79), White);
}

TEST(Minimap, EngineMessages) {
    Panel panel;
    // Style 3: "s" of "systems off" and nothing under it; "e" of "engine" over "o".
    for (auto [heat, text] : {std::pair{3.9f, "18/3 -"}, {4.0f, "18/3 -"}, {4.1f, "4/3 14/3"}}) {
        panel.reset(), panel.shift.engineHeat = heat, panel.draw();
        EXPECT_EQ(std::tuple(panel.count(Sx0, Sy0, 639, Sy0 + MinimapRows - 1, Crimson), panel.glyphAt(Sx0 + 2, Sy0 + 2) + " " + panel.glyphAt(Sx0 + 2, Sy0 + 12)),
                  std::tuple(0, text)) << heat;
    }
}

}  // namespace
}  // namespace hc
