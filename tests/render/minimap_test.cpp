// The dashboard minimap over a hand-made street.
#include <gtest/gtest.h>

#include <cmath>

#include "city/city_map.h"
#include "hud_fixture.h"
#include "render/minimap.h"

namespace hc {
namespace {

using test::HudRig;

constexpr uint8_t White = 22, Crimson = 27;
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
    Panel() {
        shift.engineRunning = FlagOn;
        player.x = 1000;
        player.y = 1016;
    }
    void draw() { drawMinimap(map, player, shift, font, *target); }
    uint8_t sample(int i, int j) const { return pixel(Sx0 + i, Sy0 + j); }
};

TEST(MinimapWindow, CentredUnlessTheGridEnds) {
    PlayerCar p;
    auto window = [&](float x, float y, int z) {
        p.x = x;
        p.y = y;
        const MinimapWindow w = minimapWindow(p, z);
        return std::make_pair(w.x0, w.y0);
    };
    EXPECT_EQ(window(1000, 1000, 2), std::make_pair(900, 920));
    EXPECT_EQ(window(30, 30, 2), std::make_pair(0, 0));
    EXPECT_EQ(window(2040, 2040, 2), std::make_pair(1848, 1888));
    EXPECT_EQ(window(150, 1000, 4), std::make_pair(0, 840));
    EXPECT_EQ(window(1900, 1900, 4), std::make_pair(1648, 1728));
    // At the clamp's edges, and rounding halves to even.
    EXPECT_EQ(window(100, 80, 2), std::make_pair(0, 0));
    EXPECT_EQ(window(100.5f, 81.5f, 2), std::make_pair(0, 2));
    EXPECT_EQ(window(1948, 2008, 2), std::make_pair(1848, 1888));
    EXPECT_EQ(window(1948.5f, 2008.5f, 2), std::make_pair(1848, 1888));
    // A position that is no number still keeps every sample on the grid.
    EXPECT_EQ(window(NAN, NAN, 4), std::make_pair(0, 0));
    EXPECT_EQ(minimapZoom(Shift{}), 2);
}

TEST(Minimap, StreetIsTwoCrimsonLinesAndTheBorderCountsAsPassable) {
    Panel panel;
    panel.draw();
    // Window origin (900, 936): the street covers rows 32..47 of the panel.
    for (int i = 0; i < MinimapColumns; ++i) {
        EXPECT_EQ(panel.sample(i, 32), Crimson) << i;
        EXPECT_EQ(panel.sample(i, 48), Crimson) << i;
        EXPECT_EQ(panel.sample(i, 0), Crimson) << i;  // buildings against the top edge
        if (i == 0) continue;
        EXPECT_EQ(panel.sample(i, 20), test::Background) << i;
        EXPECT_EQ(panel.sample(i, 60), test::Background) << i;
        if (i < 45 || i > 55) {
            EXPECT_EQ(panel.sample(i, 40), test::Background) << i;
        }
    }
    // The left edge: outlined where buildings are, open where the street is.
    EXPECT_EQ(panel.sample(0, 20), Crimson);
    EXPECT_EQ(panel.sample(0, 79), Crimson);
    EXPECT_EQ(panel.sample(0, 40), test::Background);
    // Nothing outside the panel.
    EXPECT_EQ(panel.count(0, 0, Sx0 - 1, RenderHeight - 1, Crimson), 0);
    EXPECT_EQ(panel.count(Sx0, 0, RenderWidth - 1, Sy0 - 1, Crimson), 0);
    EXPECT_EQ(panel.count(Sx0, Sy0 + MinimapRows, RenderWidth - 1, RenderHeight - 1, Crimson), 0);
    // The cab in the middle, pointing along +x: tip 4 pixels ahead, base 2 to each side.
    EXPECT_EQ(panel.sample(54, 40), White);
    EXPECT_EQ(panel.sample(50, 38), White);
    EXPECT_EQ(panel.sample(50, 42), White);
    EXPECT_EQ(panel.sample(49, 40), test::Background);
}

TEST(Minimap, ZoomDoublesTheAreaShown) {
    Panel panel;
    panel.shift.minimapZoom = FlagOn;
    panel.draw();
    // Origin (800, 856) at 4 cells a sample: the street is rows 36..43.
    EXPECT_EQ(panel.sample(10, 36), Crimson);
    EXPECT_EQ(panel.sample(10, 44), Crimson);
    EXPECT_EQ(panel.sample(10, 32), test::Background);
    EXPECT_EQ(panel.sample(10, 48), test::Background);
}

TEST(Minimap, PickupMarksShowWhiteEvenOnAnOutline) {
    Panel panel;
    setCellFlag(cellAt(panel.map, 920, 1000), PickupMark, true);  // sample (10, 32): an outline
    setCellFlag(cellAt(panel.map, 960, 1014), PickupMark, true);  // sample (30, 39): open street
    setCellFlag(cellAt(panel.map, 961, 1014), PickupMark, true);  // between samples: not shown
    panel.draw();
    setCellFlag(cellAt(panel.map, 920, 1000), PickupMark, false);
    setCellFlag(cellAt(panel.map, 960, 1014), PickupMark, false);
    setCellFlag(cellAt(panel.map, 961, 1014), PickupMark, false);
    EXPECT_EQ(panel.sample(10, 32), White);
    EXPECT_EQ(panel.sample(11, 32), Crimson);
    EXPECT_EQ(panel.sample(30, 39), White);
    EXPECT_EQ(panel.sample(31, 39), test::Background);
}

TEST(Minimap, CabArrowLeavesTheMiddleNearTheGridsEdge) {
    Panel panel;
    panel.player.x = 50;
    panel.player.heading = 900;  // along +y: down the panel
    rotateBody(panel.player, 0);
    panel.draw();
    // The window starts at column 0, so the cab's sample is column 25.
    EXPECT_EQ(panel.sample(25, 44), White);  // tip
    EXPECT_EQ(panel.sample(23, 40), White);  // base
    EXPECT_EQ(panel.sample(27, 40), White);
    EXPECT_EQ(panel.count(Sx0 + 45, Sy0 + 35, Sx0 + 55, Sy0 + 45, White), 0);

    // In the far corner of the grid every sample still lies on it.
    panel.reset();
    panel.shift.engineRunning = FlagOn;
    panel.player.x = 2047.9f;
    panel.player.y = 2047.9f;
    panel.draw();
    EXPECT_EQ(panel.sample(99, 79), White);  // the cab's sample is the last one
}

TEST(Minimap, EngineMessages) {
    Panel panel;
    auto message = [&](float heat) {
        panel.reset();
        panel.shift.engineHeat = heat;
        panel.draw();
        EXPECT_EQ(panel.count(Sx0, Sy0, RenderWidth - 1, Sy0 + MinimapRows - 1, Crimson), 0);
        return panel.glyphAt(Sx0 + 2, Sy0 + 2) + " " + panel.glyphAt(Sx0 + 2, Sy0 + 12);
    };
    // Style 3: "s" of "systems off" and nothing under it; "e" of "engine" over "o".
    EXPECT_EQ(message(3.9f), "18/3 -");
    EXPECT_EQ(message(4.0f), "18/3 -");
    EXPECT_EQ(message(4.1f), "4/3 14/3");
}

}  // namespace
}  // namespace hc
