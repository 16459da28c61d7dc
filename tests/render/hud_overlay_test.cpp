// The cockpit overlay drawn over a plain picture with synthetic artwork.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "hud_fixture.h"
#include "render/damage_overlay.h"

namespace hc {
namespace {

using test::HudRig;

constexpr uint8_t White = 22, Black = 255, DarkRed = 172, Crimson = 27, Green = 222, Rose = 180;

int rowCount(const HudRig& rig, int y, uint8_t c) { return rig.count(0, y, RenderWidth - 1, y, c); }

// The pixel 30 along the speed needle of the dial centred at (233, 441).
uint8_t needlePixel(const HudRig& rig, int speed) {
    const double a = needleAngle(speed);
    return rig.pixel(static_cast<int>(std::lround(233 + 30 * std::cos(a))),
                     static_cast<int>(std::lround(441 + 30 * std::sin(a))));
}

TEST(HudWindshield, CrackGrowsWithBodyworkDamage) {
    HudRig rig;
    rig.draw();
    // No damage: one pixel pair at the foot of the windshield.
    EXPECT_EQ(rig.pixel(288, 360), White);
    EXPECT_EQ(rig.pixel(289, 360), Black);
    EXPECT_EQ(rig.count(0, 0, 639, 360, White), 1);

    rig.reset();
    rig.shift.damage[1] = 0.5f;
    rig.draw();
    EXPECT_EQ(rowCount(rig, 180, White), 2);  // past row 240 the branch has started
    EXPECT_EQ(rowCount(rig, 179, White), 0);
    // The zig-zag: 16 pixels to the side at the foot, back in the middle 16 rows up.
    EXPECT_EQ(rig.pixel(288, 360), White);
    EXPECT_EQ(rig.pixel(276, 344), White);

    rig.reset();
    rig.shift.damage[1] = 1.0f;
    rig.draw();
    // Every row of the glass carries the crack. Each pixel has its black shadow on the
    // right, which hides the white one where both round to the same column (x ending in
    // .5 with an odd whole part), so some rows show only the shadow.
    int rowsWithWhite = 0;
    for (int y = 0; y <= 360; ++y) {
        int left = RenderWidth, right = -1;
        for (int x = 0; x < RenderWidth; ++x) {
            const uint8_t p = rig.pixel(x, y);
            if (p != White && p != Black) continue;
            if (y >= 358 && x >= 318 && x <= 322) continue;  // the resting wiper's pivot
            left = std::min(left, x);
            right = std::max(right, x);
        }
        rowsWithWhite += rowCount(rig, y, White) > 0;
        ASSERT_GE(right, 0) << "row " << y;
        // Below row 240 a single crack; above it the branch runs off to the left,
        // one pixel further each row.
        if (y >= 240) {
            EXPECT_LE(right - left, 2) << "row " << y;
        }
        if (y < 230) {
            EXPECT_GE(right - left, 230 - y) << "row " << y;
        }
    }
    EXPECT_GT(rowsWithWhite, 300);
    // At the top the main crack has leant 90 pixels right; the branch is 240 to its left.
    EXPECT_EQ(rig.pixel(370, 0), White);
    EXPECT_EQ(rig.pixel(371, 0), Black);
    EXPECT_EQ(rig.pixel(130, 0), White);
    EXPECT_EQ(rig.pixel(131, 0), Black);
}

TEST(HudWindshield, DropsAndBlade) {
    HudRig rig;
    Raindrop& drop = rig.shift.raindrops[7];
    drop.active = FlagOn;
    drop.body.x = 100.4f;
    drop.body.y = 50.6f;
    Raindrop& dry = rig.shift.raindrops[8];
    dry.body.x = 200;
    dry.body.y = 50;
    rig.shift.wiperAngle = -1.570795;  // straight up from its pivot at (320, 360)
    rig.draw();
    EXPECT_EQ(rig.count(99, 50, 102, 53, test::DropColour), 16);
    EXPECT_EQ(rig.pixel(98, 50), test::Background);
    EXPECT_EQ(rig.pixel(103, 54), test::Background);
    EXPECT_EQ(rig.count(190, 40, 210, 60, test::DropColour), 0);
    // A blade three pixels thick right up to the top of the screen.
    for (int y : {20, 100, 300}) {
        EXPECT_EQ(rig.count(319, y, 321, y, Black), 3) << y;
        EXPECT_EQ(rig.pixel(318, y), test::Background);
        EXPECT_EQ(rig.pixel(322, y), test::Background);
    }
}

TEST(HudWindshield, DropsAtOrFarBeyondTheEdgesAreClipped) {
    // The icon's 4 x 4 drop lies 1 left/up to 2 right/down of the drop's point; drops
    // thrown far off the glass draw nothing and read or write nothing outside it.
    const struct {
        float x, y;
        int pixels;
    } drops[] = {{0.4f, 0.4f, 9}, {639.6f, 0.4f, 3}, {-1.4f, 50.0f, 8}, {-1e10f, 0.4f, 0}, {0.4f, -1e10f, 0},
                 {1e10f, 1e10f, 0}, {-3e9f, -3e9f, 0}};
    for (const auto& d : drops) {
        HudRig rig;
        rig.shift.raindrops[1].active = FlagOn;
        rig.shift.raindrops[1].body.x = d.x;
        rig.shift.raindrops[1].body.y = d.y;
        rig.draw();
        EXPECT_EQ(rig.count(0, 0, 639, 299, test::DropColour), d.pixels) << d.x << ", " << d.y;
    }
}

TEST(HudWindshield, LowDetailLeavesTheGlassClearButKeepsTheInstruments) {
    HudRig rig;
    rig.shift.lowDetail = FlagOn;
    rig.shift.damage[1] = 1.0f;
    rig.shift.raindrops[1].active = FlagOn;
    rig.shift.raindrops[1].body.x = 100;
    rig.shift.raindrops[1].body.y = 100;
    rig.shift.wiperAngle = -1.570795;
    rig.draw();
    EXPECT_EQ(rig.count(0, 0, 639, 299, White), 0);
    EXPECT_EQ(rig.count(0, 0, 639, 299, Black), 0);
    EXPECT_EQ(rig.count(0, 0, 639, 299, test::DropColour), 0);
    EXPECT_GT(rig.count(278, 391, 311, 399, 25), 0);  // the clock
}

TEST(HudInstruments, EngineOff) {
    HudRig rig;
    rig.player.vx = 0.3f;  // rolling, but the instruments are dead
    rig.shift.pendingFare = 55;
    rig.draw();
    EXPECT_EQ(rig.count(284, 407, 295, 420, test::LampAColour), 12 * 14);  // engine lamp lit
    EXPECT_EQ(rig.count(297, 407, 308, 420, Black), 12 * 14);              // heat lamp off
    EXPECT_EQ(rig.count(570, 305, 639, 340, DarkRed), 0);                  // no fare or score
    EXPECT_EQ(rig.count(15, 330, 50, 350, 23), 0);                         // no turbo
    EXPECT_EQ(rig.count(280, 455, 330, 475, Crimson), 0);                  // empty speed read-out
    // The needle rests at the lower left of the dial.
    EXPECT_EQ(needlePixel(rig, 0), DarkRed);
    EXPECT_EQ(rig.count(240, 400, 280, 435, DarkRed), 0);
    // The knob at the top of the wheel.
    EXPECT_EQ(rig.pixel(293, 360), DarkRed);
    EXPECT_EQ(rig.pixel(293, 363), DarkRed);
    EXPECT_EQ(rig.pixel(293, 364), test::DashColour);
}

TEST(HudInstruments, EngineRunning) {
    HudRig rig;
    rig.shift.engineRunning = FlagOn;
    rig.shift.pendingFare = 37;
    rig.shift.score = 12345;
    rig.shift.turboBoost = 0.37f;
    rig.shift.engineHeat = 4.0f;
    rig.shift.minutesLeft = 12;
    rig.shift.secondsLeft = 5.9;
    rig.player.vx = 0.3f;
    rig.player.vy = 0.4f;  // 0.5 cells per tick: 100
    rig.player.turnRate = 1.2f;
    rig.draw();
    EXPECT_EQ(rig.count(284, 407, 295, 420, Black), 12 * 14);              // engine lamp off
    EXPECT_EQ(rig.count(297, 407, 308, 420, test::LampBColour), 12 * 14);  // hot: lamp lit
    // Fare "0037": the top bar of the first 0; score "12345" runs on past four digits.
    EXPECT_EQ(rig.count(579, 314, 582, 314, DarkRed), 4);
    EXPECT_EQ(rig.count(583, 327, 583, 329, DarkRed), 3);  // the "1"
    EXPECT_GT(rig.count(606, 326, 611, 334, DarkRed), 0);  // the fifth digit
    // Turbo "0.3": the dot is the lower left stroke of the middle cell.
    EXPECT_EQ(rig.count(28, 341, 28, 343, 23), 3);
    // Clock "12:05": the "1" of the minutes and the colon's dots.
    EXPECT_EQ(rig.count(283, 392, 283, 394, 25), 3);
    EXPECT_EQ(rig.pixel(294, 394), 25);
    EXPECT_EQ(rig.pixel(294, 397), 25);
    // Speed "100": the crimson "1" with its black shadow a pixel down and left.
    EXPECT_EQ(rig.count(293, 463, 293, 465, Crimson), 3);
    EXPECT_EQ(rig.count(292, 464, 292, 466, Black), 3);
    // The needle at 100 of 270, and the knob turned right along the wheel.
    EXPECT_EQ(needlePixel(rig, 100), DarkRed);
    EXPECT_EQ(rig.pixel(390, 383), DarkRed);
    EXPECT_NE(rig.pixel(293, 360), DarkRed);
}

TEST(HudInstruments, ReverseShowsRAndRestsTheNeedle) {
    HudRig rig;
    rig.shift.engineRunning = FlagOn;
    rig.shift.reverseGear = FlagOn;
    rig.player.vx = 0.2f;
    rig.draw();
    // " r ": the middle cell's lower left stroke and middle bar.
    EXPECT_EQ(rig.count(295, 467, 295, 469, Crimson), 3);
    EXPECT_EQ(rig.count(296, 466, 299, 466, Crimson), 4);
    EXPECT_EQ(rig.count(288, 462, 294, 471, Crimson), 0);
    EXPECT_EQ(needlePixel(rig, 0), DarkRed);
}

TEST(HudPassenger, PortraitArrowAndDistance) {
    HudRig rig;
    // Passenger 3 aboard, going to (x, y); the cab is at (1000, 1000) heading +x.
    auto ride = [&](float x, float y) {
        rig.reset();
        rig.shift.passengerAboard = 3;
        rig.shift.passengers[3].portrait = 5;
        rig.shift.passengers[3].destination.x = x;
        rig.shift.passengers[3].destination.y = y;
    };
    ride(1100, 1000);  // straight ahead
    rig.draw();
    EXPECT_EQ(rig.pixel(0, 416), 0);  // opaque: even the portrait's 0 is copied
    EXPECT_EQ(rig.pixel(1, 416), 105);
    EXPECT_EQ(rig.pixel(63, 479), 105);
    EXPECT_EQ(rig.pixel(64, 479), test::DashColour);
    // Ahead: a green dart whose tip is 15 pixels below the centre (320, 30).
    EXPECT_EQ(rig.pixel(320, 45), Green);
    EXPECT_EQ(rig.count(280, 0, 360, 50, Rose), 0);
    EXPECT_EQ(rig.count(280, 0, 360, 14, Green), 0);
    // 100 cells: distance 15, centred at row 54 in style 2.
    EXPECT_EQ(rig.glyphAt(310, 54), "27/2");
    EXPECT_EQ(rig.glyphAt(320, 54), "31/2");
    EXPECT_EQ(rig.glyphAt(300, 0), "-");  // no delivered count

    ride(900, 1000);  // behind
    rig.draw();
    EXPECT_EQ(rig.pixel(320, 15), Rose);
    EXPECT_EQ(rig.count(280, 0, 360, 14, Rose), 0);
    EXPECT_EQ(rig.count(280, 0, 360, 50, Green), 0);

    // A destination to the right (a larger heading turns clockwise) puts the tip 30
    // pixels right of the centre; turning the cab towards it brings the tip down.
    ride(1000, 1300);
    rig.draw();
    EXPECT_EQ(rig.pixel(350, 30), Rose);
    ride(1000, 1300);
    rig.player.heading = 450;
    rotateBody(rig.player, 0);
    rig.draw();
    EXPECT_EQ(rig.pixel(350, 30), test::Background);
    EXPECT_GT(rig.count(320, 31, 345, 45, Green), 0);
}

TEST(HudPassenger, ArrowGeometry) {
    PlayerCar player;
    player.x = 10;
    player.y = 10;
    player.heading = 900;  // facing +y
    rotateBody(player, 0);
    Body spot;
    spot.x = 10;
    spot.y = 50;
    const DestinationArrow ahead = destinationArrow(player, spot, 320, 30, 30);
    EXPECT_NEAR(ahead.tipX, 320, 1e-3);
    EXPECT_NEAR(ahead.tipY, 45, 1e-3);
    EXPECT_EQ(ahead.colour, Green);
    // The barbs sit 2 radians either side of the tip, on the same squashed ellipse.
    EXPECT_NEAR(ahead.barb1X - 320, -(ahead.barb2X - 320), 1e-3);
    EXPECT_NEAR(ahead.barb1Y, ahead.barb2Y, 1e-3);
    EXPECT_LT(ahead.barb1Y, 30);
    spot.x = -30;  // a cab facing +y has -x on its right (headings grow clockwise)
    spot.y = 10;
    const DestinationArrow right = destinationArrow(player, spot, 320, 30, 30);
    EXPECT_NEAR(right.tipX, 350, 1e-3);
    EXPECT_NEAR(right.tipY, 30, 1e-3);
    spot.x = 50;
    const DestinationArrow left = destinationArrow(player, spot, 320, 30, 30);
    EXPECT_NEAR(left.tipX, 290, 1e-3);
}

TEST(HudPassenger, DeliveredCountWithNobodyAboard) {
    HudRig rig;
    rig.shift.deliveredCount = 3;
    rig.draw();
    // "3/16" in style 1, centred on row 0.
    EXPECT_EQ(rig.glyphAt(300, 0), "29/1");
    EXPECT_EQ(rig.glyphAt(310, 0), "46/1");
    EXPECT_EQ(rig.glyphAt(320, 0), "27/1");
    EXPECT_EQ(rig.glyphAt(330, 0), "32/1");
    EXPECT_EQ(rig.glyphAt(340, 0), "-");
    EXPECT_EQ(rig.pixel(20, 416), test::DashColour);  // no portrait
}

TEST(HudSpeech, LineStaysForItsTicksOfGameTime) {
    HudRig rig;
    // The timer before and after a frame of 2.5 ticks.
    for (auto [before, after] : {std::pair{4.0, 1.5}, {1.5, -1.0}, {-1.0, -1.0}}) {
        rig.reset();
        rig.shift.speechText = "hi";
        rig.shift.speechTimer = before;
        rig.draw(2.5);
        EXPECT_DOUBLE_EQ(rig.shift.speechTimer, after) << before;
        if (before == 4.0) {
            EXPECT_EQ(rig.glyphAt(310, 240), "7/0");  // centred on row 240, style 0
        }
        if (before < 0) {
            EXPECT_EQ(rig.count(300, 230, 340, 260, White), 0);
        }
    }
}

TEST(HudDamage, OverlayOnlyPastHalfDamage) {
    HudRig rig;
    Image* overlay = createImage(4, 4);
    fillImage(*overlay, 77);
    putPixel(*overlay, 1, 1, 0);
    rig.state->heavyDamageOverlay = overlay;
    rig.shift.damage[1] = 0.5f;
    rig.draw();
    EXPECT_EQ(rig.count(80, 0, 83, 3, 77), 0);
    rig.reset();
    rig.shift.damage[1] = 0.51f;
    rig.draw();
    EXPECT_EQ(rig.count(80, 0, 83, 3, 77), 15);
    EXPECT_EQ(rig.pixel(81, 1), test::Background);  // transparent where the overlay is 0
    rig.state->heavyDamageOverlay = nullptr;
    destroyImage(overlay);
}

TEST(HudDamage, CrackedGlassPictureIsFixedAndMostlyClear) {
    Image* first = createHeavyDamageOverlay();
    Image* second = createHeavyDamageOverlay();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->width, 480);
    EXPECT_EQ(first->height, 360);
    EXPECT_EQ(test::fnv1a(*first), test::fnv1a(*second));  // the same every run
    int clear = 0, bright = 0;
    for (int y = 0; y < first->height; ++y) {
        for (int x = 0; x < first->width; ++x) {
            const uint32_t p = getPixel(*first, x, y);
            clear += p == 0;
            bright += p == White;
        }
    }
    EXPECT_GT(clear, 480 * 360 * 9 / 10);  // the street still shows through
    EXPECT_GT(bright, 300);
    destroyImage(second);
    auto state = std::make_unique<GameState>();  // large: kept off the stack
    state->heavyDamageOverlay = first;
    ensureHeavyDamageOverlay(*state);  // kept, not replaced
    EXPECT_EQ(state->heavyDamageOverlay, first);
    destroyImage(first);
}

// Whole frames by digest: any change to what the overlay draws shows here.
TEST(HudGolden, Frames) {
    HudRig rig;
    rig.draw();
    const uint64_t start = test::fnv1a(*rig.target);

    rig.reset();
    rig.shift.engineRunning = FlagOn;
    rig.shift.pendingFare = 412;
    rig.shift.score = 96;
    rig.shift.turboBoost = 1.25f;
    rig.shift.minutesLeft = 2;
    rig.shift.secondsLeft = 41.3;
    rig.shift.damage[1] = 0.3f;
    rig.shift.wiperAngle = 3.9;
    for (int k = 1; k <= 40; ++k) {
        rig.shift.raindrops[k].active = toFlag(k % 3 != 0);
        rig.shift.raindrops[k].body.x = static_cast<float>(13 * k % 640);
        rig.shift.raindrops[k].body.y = static_cast<float>(29 * k % 360);
    }
    rig.shift.passengerAboard = 2;
    rig.shift.passengers[2].portrait = 8;
    rig.shift.passengers[2].destination.x = 1400;
    rig.shift.passengers[2].destination.y = 700;
    rig.shift.speechText = "to the docks, and step on it!";
    rig.shift.speechTimer = 100;
    rig.player.vx = 0.21f;
    rig.player.vy = -0.1f;
    rig.player.heading = 3300;
    rig.player.turnRate = -0.7f;
    rotateBody(rig.player, 0);
    rig.draw();
    const uint64_t riding = test::fnv1a(*rig.target);

    rig.reset();
    rig.shift.engineRunning = FlagOn;
    rig.shift.reverseGear = FlagOn;
    rig.shift.engineHeat = 4.6f;
    rig.shift.lowDetail = FlagOn;
    rig.shift.damage[1] = 0.9f;
    rig.shift.deliveredCount = 11;
    rig.shift.speechText = std::string(75, 'x');
    rig.shift.speechTimer = 1;
    rig.draw();
    const uint64_t reversing = test::fnv1a(*rig.target);

    EXPECT_EQ(start, 1776122184064231807ull);
    EXPECT_EQ(riding, 13251602775983344018ull);
    EXPECT_EQ(reversing, 13775633621266597977ull);
}

}  // namespace
}  // namespace hc
