// The screen-reading fare driver, checked against pictures the game itself draws: the
// map view of seeded cities read back to the cab's cell, heading and squares, the
// cockpit arrow read back to its angle, and a whole fare played headless with keys
// chosen from nothing but the presented frames.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "city/city_map.h"
#include "e2e/driver/fare_driver.h"
#include "e2e/driver/screen_reader.h"
#include "platform/image.h"
#include "render/hud.h"
#include "render/map_view.h"
#include "shell/shift_loop.h"
#include "sim/passengers.h"
#include "support/arcade_game.h"

namespace hc::driver {
namespace {

constexpr double Pi = 3.14159265358979;

Shot shotOf(const Image& image) {
    Shot shot;
    shot.pixels.resize(size_t(ShotWidth) * ShotHeight);
    for (int y = 0; y < ShotHeight; ++y) {
        for (int x = 0; x < ShotWidth; ++x) shot.pixels[size_t(y) * ShotWidth + x] = uint8_t(getPixel(image, x, y));
    }
    return shot;
}

struct Frame {
    Image* image = createImage(ShotWidth, ShotHeight);
    ~Frame() { destroyImage(image); }
};

Shot mapShot(ArcadeGame& arcade, float x, float y, float headingTenths) {
    Game& g = arcade.game();
    g.player.x = x;
    g.player.y = y;
    g.player.heading = headingTenths;
    Frame frame;
    drawMapView(*g.city, g.player, g.state, *frame.image);
    return shotOf(*frame.image);
}

TEST(ScreenReader, OpenCellsHaveTheColoursOfTheMarkingsAndLight) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    StreetColours colours;
    initStreetColours(colours, g.state.shadeTable);
    // Every open ground cell of a generated city, edge lines, dashes and courtyards
    // included, shows one of the colours the reader expects there. (Courtyard gates,
    // kind 14, are walls one can drive through, shaded from the wall colour: the reader
    // does not count them as street. The closed floor inside a kerbside enclosure keeps
    // a ground colour and looks like street; its low walls have no roof line, so the
    // driver keeps away from whatever it did not see as open.)
    int open = 0;
    for (int x = 1; x < 2047; x += 3) {
        for (int y = 1; y < 2047; y += 5) {
            const MapCell& cell = cellAt(*g.city, x, y);
            if (!hasFlag(cell, Passable) || cell.kind == 14) continue;
            uint8_t expected[3];
            const int n = openCellColours(colours, x, y, expected);
            bool found = false;
            for (int i = 0; i < n; ++i) found = found || expected[i] == cell.colour;
            ASSERT_TRUE(found) << "cell " << x << "," << y << " colour " << int(cell.colour);
            ASSERT_TRUE(colours.street[cell.colour]);
            ++open;
        }
    }
    EXPECT_GT(open, 50000);
}

TEST(ScreenReader, MapViewGivesTheCabCellHeadingAndSquares) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    StreetColours colours;
    initStreetColours(colours, g.state.shadeTable);

    // Street crossings, open squares and places next to buildings, guessed 6 to 8 cells off.
    const struct {
        float x, y, heading;
    } poses[] = {{1040.4f, 1034.6f, 0.0f}, {1290.0f, 1020.0f, 900.0f}, {1795.5f, 770.2f, 2250.0f},
                 {515.0f, 1300.0f, 3150.0f}, {260.0f, 1540.0f, 1800.0f}};
    for (const auto& p : poses) {
        ASSERT_FALSE(isBlocked(*g.city, p.x, p.y)) << p.x << "," << p.y;
        const Shot shot = mapShot(arcade, p.x, p.y, p.heading);
        const CabFix fix = locateCab(colours, shot, int(p.x) + 6, int(p.y) - 8, 10);
        EXPECT_EQ(fix.x, int(std::nearbyint(p.x))) << "pose " << p.x << "," << p.y;
        EXPECT_EQ(fix.y, int(std::nearbyint(p.y))) << "pose " << p.x << "," << p.y;
        EXPECT_GT(fix.score, fix.samples / 2);

        const double heading = readMapHeading(shot, 0.0, 4.0);
        const double truth = p.heading / 1800.0 * 3.14159;
        ASSERT_TRUE(heading == heading);
        EXPECT_LT(std::fabs(std::remainder(heading - truth, 2 * Pi)), 6.0 * Pi / 180.0) << "heading " << p.heading;
    }

    // A lone square round a spot 40 cells away, and one round the cab itself.
    clearMarks(*g.city);
    Body spot{};
    spot.x = 1020.0f;
    spot.y = 1075.0f;
    markSquare(*g.city, spot);
    Body under{};
    under.x = 1021.0f;
    under.y = 1018.0f;
    markSquare(*g.city, under);
    const Shot shot = mapShot(arcade, 1020.0f, 1020.0f, 300.0f);
    const auto squares = findSquares(colours, shot, 1020, 1020, 300.0 / 1800.0 * 3.14159);
    ASSERT_EQ(squares.size(), 2u);
    int found = 0;
    for (const auto& s : squares) {
        found += (s.x == 1020 && s.y == 1075) || (s.x == 1021 && s.y == 1018);
    }
    EXPECT_EQ(found, 2);
    clearMarks(*g.city);
}

TEST(ScreenReader, PathsKeepToOpenStreets) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    StreetColours colours;
    initStreetColours(colours, g.state.shadeTable);
    const Shot shot = mapShot(arcade, 1040.0f, 1034.0f, 0.0f);
    LocalMap local;
    observeMap(colours, shot, 1040, 1034, 400, local);
    // A goal 150 cells away along the crossing street, and one out of the window.
    for (const Cell goal : {Cell{1030, 1180}, Cell{1600, 1034}}) {
        const auto path = planPath(local, {1040, 1034}, goal);
        ASSERT_GT(path.size(), 20u);
        EXPECT_EQ(path.front().x, 1040);
        for (const Cell& c : path) {
            for (int i = -1; i <= 1; ++i) {
                for (int j = -1; j <= 1; ++j) {
                    ASSERT_FALSE(isBlocked(*g.city, c.x + i + 0.5f, c.y + j + 0.5f))
                        << "the path runs into a wall at " << c.x + i << "," << c.y + j;
                }
            }
        }
        const Cell end = path.back();
        if (goal.x == 1030) {
            EXPECT_EQ(end.x, goal.x);
            EXPECT_EQ(end.y, goal.y);
        } else {
            EXPECT_GT(end.x, 1150) << "the path should head for the far goal";
        }
    }
}

TEST(ScreenReader, CockpitArrowAngleIsReadBack) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    Frame frame;
    for (const double angle : {0.3, 1.6, 3.0, 4.4, 5.9}) {
        fillImage(*frame.image, 90);
        PlayerCar player{};
        player.x = 1000.0f;
        player.y = 1000.0f;
        player.heading = 0.0f;
        Body destination{};
        // a = bearing - heading - quarter turn, so the bearing is a + quarter turn.
        destination.x = float(1000.0 + 300.0 * std::cos(angle + 1.570795));
        destination.y = float(1000.0 + 300.0 * std::sin(angle + 1.570795));
        g.shift.passengerAboard = 1;
        g.shift.passengers[1].destination = destination;
        g.player = player;
        HudScene scene{g.shift, g.player, g.state, g.font, *frame.image, 1.0};
        drawHud(scene);
        const double read = readHudArrow(shotOf(*frame.image));
        ASSERT_TRUE(read == read) << "angle " << angle;
        EXPECT_LT(std::fabs(std::remainder(read - angle, 2 * Pi)), 4.0 * Pi / 180.0) << "angle " << angle;
    }
    // Nobody aboard: no arrow, the delivered count instead.
    fillImage(*frame.image, 90);
    g.shift.passengerAboard = 0;
    g.shift.deliveredCount = 1;
    g.shift.passengerCount = 16;
    HudScene scene{g.shift, g.player, g.state, g.font, *frame.image, 1.0};
    drawHud(scene);
    const Shot shot = shotOf(*frame.image);
    EXPECT_FALSE(readHudArrow(shot) == readHudArrow(shot));
    EXPECT_TRUE(showsText(g.font, shot, -1, 0, "1/16", 1));
    EXPECT_FALSE(showsText(g.font, shot, -1, 0, "0/16", 1));
}

// Plays a shift with keys chosen by the driver from the presented frames, every fourth
// frame (as a screenshot round trip would), and stops the game when the driver is done.
struct HeadlessRun {
    Phase phase = Phase::Starting;
    int delivered = 0;
    int64_t score = 0;
    std::string log;
};

HeadlessRun playFare(uint64_t seed) {
    ArcadeGame arcade(seed);
    HeadlessRun run;
    if (!arcade.ready()) return run;
    Game& g = arcade.game();
    StreetColours colours;
    initStreetColours(colours, g.state.shadeTable);
    FareDriver driver;
    driver.colours = &colours;
    driver.font = &g.font;
    // Each line of the driver's log gets what the game really had at that moment.
    driver.log = [&](const std::string& line) {
        char truth[160];
        std::snprintf(truth, sizeof truth, "  [%.1f s: cab %.1f, %.1f heading %.0f speed %.3f, aboard %d]",
                      arcade.now - 1000.0, g.player.x, g.player.y, g.player.heading / 10.0, bodySpeed(g.player),
                      g.shift.passengerAboard);
        run.log += line + truth + "\n";
        if (line.rfind("cab at", 0) == 0) {
            for (int k = 1; k <= PassengerSlots; ++k) {
                const Passenger& p = g.shift.passengers[k];
                std::snprintf(truth, sizeof truth, "  passenger %d: %.0f, %.0f to %.0f, %.0f\n", k, p.pickup.x,
                              p.pickup.y, p.destination.x, p.destination.y);
                run.log += truth;
            }
        }
    };

    Shot latest;
    arcade.onFrame = [&](const Image& frame) { latest = shotOf(frame); };
    HeldKeys held;
    arcade.window.onPoll = [&](int64_t poll) {
        if (!latest.pixels.empty() && poll % 4 == 0) {
            const DriverAction action = driveStep(driver, latest, arcade.now);
            held = action.hold;
            for (const Tap t : action.taps) {
                const int code = t == Tap::Ignition ? 31 : t == Tap::MapView ? 15 : 19;
                arcade.window.holdKey(code, poll, poll);
            }
        }
        if (held.up) arcade.window.holdKey(72, poll, poll);
        if (held.down) arcade.window.holdKey(80, poll, poll);
        if (held.left) arcade.window.holdKey(75, poll, poll);
        if (held.right) arcade.window.holdKey(77, poll, poll);
        const bool done = driver.phase == Phase::Delivered || driver.phase == Phase::Failed ||
                          driver.phase == Phase::NoSquare || driver.phase == Phase::TooFar;
        if (done || g.shift.minutesLeft < 0) arcade.window.requestClose();
    };
    arcade.runUntilEnd([&] { runShift(g, arcade.view); });
    run.phase = driver.phase;
    run.delivered = g.shift.deliveredCount;
    run.score = g.shift.score + g.shift.pendingFare;
    return run;
}

TEST(FareDriver, DeliversAPassengerFromWhatTheScreenShows) {
#ifdef HC_SANITIZE
    GTEST_SKIP() << "a whole fare takes minutes under the sanitizers; the screen reader tests cover the code";
#endif
    {
        ArcadeGame probe;
        if (!probe.ready()) GTEST_SKIP() << probe.skipReason();
    }
    // Cities without a square in sight at the start are skipped, as a player would
    // start another game.
    HeadlessRun run;
    uint64_t seed = 1;
    for (; seed <= 12; ++seed) {
        run = playFare(seed);
        if (run.phase != Phase::NoSquare) break;
    }
    ASSERT_EQ(run.phase, Phase::Delivered) << "seed " << seed << "\n" << run.log;
    EXPECT_EQ(run.delivered, 1);
    EXPECT_GT(run.score, 0);
}

}  // namespace
}  // namespace hc::driver
