// The dashboard minimap over a hand-made street.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>

#include "city/city_map.h"
#include "hud_fixture.h"
#include "render/minimap.h"

namespace hc {
namespace {

using test::HudRig;

constexpr uint8_t White = 22, Crimson = 27, Bg = test::Background;
constexpr int Sx0 = 540, Sy0 = 392;

// A grid of buildings crossed by one street along x, 32 cells wide (y 1000..1031).
CityMap& streetMap() {
    static CityMap* map = [] {
        CityMap* m = newCityMap();
        for (int x = 0; x < MapSize; ++x)
            for (int y = 1000; y <= 1031; ++y) cellAt(*m, x, y).flags = Passable;
        return m;
    }();
    return *map;
}

struct Panel : HudRig {
    CityMap& map = streetMap();
    Panel() { place(1000, 1016, 0); }
    void place(float x, float y, float heading) {
        reset();
        shift.engineRunning = FlagOn;
        player.x = x, player.y = y, player.heading = heading;
        rotateBody(player, 0);
    }
    void draw() { drawMinimap(map, player, shift, font, *target); }
    uint8_t sample(int i, int j) const { return pixel(Sx0 + i, Sy0 + j); }
};

TEST(MinimapWindow, CentredUnlessTheGridEnds) {
    // Then at the clamp's edges, rounding halves to even; a position that is no number
    // still keeps every sample on the grid.
    const struct { float x, y; int zoom, x0, y0; } cases[] = {{1000, 1000, 2, 900, 920}, {30, 30, 2, 0, 0}, {2040, 2040, 2, 1848, 1888},
        {150, 1000, 4, 0, 840}, {1900, 1900, 4, 1648, 1728}, {100, 80, 2, 0, 0}, {100.5f, 81.5f, 2, 0, 2}, {1948, 2008, 2, 1848, 1888},
        {1948.5f, 2008.5f, 2, 1848, 1888}, {NAN, NAN, 4, 0, 0}};
    for (const auto& c : cases) {
        PlayerCar p;
        p.x = c.x, p.y = c.y;
        EXPECT_EQ(std::make_pair(minimapWindow(p, c.zoom).x0, minimapWindow(p, c.zoom).y0), std::make_pair(c.x0, c.y0)) << c.x << "," << c.y << " zoom " << c.zoom;
    }
    Shift zoomed;
    zoomed.minimapZoom = FlagOn;
    EXPECT_EQ(std::make_pair(minimapZoom(Shift{}), minimapZoom(zoomed)), std::make_pair(2, 4));
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
    EXPECT_TRUE(panel.sample(0, 20) == Crimson && panel.sample(0, 79) == Crimson && panel.sample(0, 40) == Bg);
    EXPECT_EQ(panel.count(0, 0, 639, 479, Crimson), panel.count(Sx0, Sy0, 639, Sy0 + MinimapRows - 1, Crimson)) << "nothing outside the panel";
    // The cab pointing along +x: tip 4 pixels ahead, base 2 to each side.
    for (auto [i, j, colour] : {std::tuple{54, 40, White}, {50, 38, White}, {50, 42, White}, {49, 40, Bg}}) EXPECT_EQ(panel.sample(i, j), colour) << i << "," << j;

    // With the zoom, origin (800, 856) at 4 cells a sample: the street is rows 36..43.
    panel.place(1000, 1016, 0);
    panel.shift.minimapZoom = FlagOn;
    panel.draw();
    for (auto [j, colour] : {std::pair{36, Crimson}, {44, Crimson}, {32, Bg}, {48, Bg}}) EXPECT_EQ(panel.sample(10, j), colour) << j;
    // Pick-up marks show white, even on an outline.
    panel.place(1000, 1016, 0);
    const int marks[][2] = {{920, 1000}, {960, 1014}, {961, 1014}};  // samples (10, 32), (30, 39), none
    for (auto [x, y] : marks) setCellFlag(cellAt(panel.map, x, y), PickupMark, true);
    panel.draw();
    for (auto [x, y] : marks) setCellFlag(cellAt(panel.map, x, y), PickupMark, false);
    EXPECT_TRUE(panel.sample(10, 32) == White && panel.sample(11, 32) == Crimson && panel.sample(30, 39) == White && panel.sample(31, 39) == Bg);
    // Near the grid's edge the cab's arrow leaves the middle.
    panel.place(50, 1016, 900);  // along +y: down the panel
    panel.draw();
    // The window starts at column 0, so the cab's sample is column 25: tip and base.
    for (auto [i, j] : {std::pair{25, 44}, {23, 40}, {27, 40}}) EXPECT_EQ(panel.sample(i, j), White) << i << "," << j;
    EXPECT_EQ(panel.count(Sx0 + 45, Sy0 + 35, Sx0 + 55, Sy0 + 45, White), 0);
    // In the far corner of the grid every sample still lies on it; the cab's is the last.
    panel.place(2047.9f, 2047.9f, 0);
    panel.draw();
    EXPECT_EQ(panel.sample(99, 79), White);
}

TEST(Minimap, EngineMessages) {
    Panel panel;
    // Style 3: "s" of "systems off" and nothing under it; "e" of "engine" over "o".
    for (auto [heat, text] : {std::pair{3.9f, "18/3 -"}, {4.0f, "18/3 -"}, {4.1f, "4/3 14/3"}}) {
        panel.reset();
        panel.shift.engineHeat = heat;
        panel.draw();
        EXPECT_TRUE(panel.count(Sx0, Sy0, 639, Sy0 + MinimapRows - 1, Crimson) == 0 &&
                    panel.glyphAt(Sx0 + 2, Sy0 + 2) + " " + panel.glyphAt(Sx0 + 2, Sy0 + 12) == text) << heat;
    }
}

}  // namespace
}  // namespace hc
