// Hand-worked cases of the world and map views: the tables, the sky's turn, and cabs and targets they must survive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "render/map_view.h"
#include "render/world_view.h"
#include "render_fixture.h"

namespace hc {
namespace {

using test::rig;

TEST(ViewTables, HeaderAndRowTables) {
    const auto& r = rig();
    EXPECT_EQ(std::make_tuple(r.map->viewTop, r.map->viewBottom, r.map->horizonRow, r.shift.dashboardHeight), std::make_tuple(0, 436, 202, 120));
    EXPECT_TRUE(r.map->projScale == 80.0f && r.map->eyeFactor == 0.85f);
    const struct { int row, shade; float distance; } rows[] = {  // distance 0: not checked
        {0, 16, 0}, {94, 16, 0}, {150, 9, 0}, {202, 2, 0}, {210, 1, 192.0f}, {214, 0, 128.0f}, {250, 6, 32.0f},
        {300, 12, 0}, {334, 16, 0}, {436, 16, 6.5641f}, {479, 16, 0}};
    for (const auto& s : rows)
        EXPECT_TRUE(r.tables.rowShade[s.row] == s.shade && (s.distance == 0 || std::fabs(r.tables.rowFloorDistance[s.row] - s.distance) < 1e-3)) << s.row;
    EXPECT_TRUE(r.tables.rowLight[214] == 0.0f && std::fabs(r.tables.rowLight[150] - std::pow(64.0 / 120.0, 0.85)) < 1e-6);
    const std::pair<int, float> exponents[] = {{320, 0.5f}, {256, 0.75f}, {384, 0.75f}, {193, 1 - 0.5f / 128}, {192, 1}, {0, 1}, {639, 1}};
    for (const auto& [column, e] : exponents) EXPECT_FLOAT_EQ(r.tables.headlightExponent[column], e) << column;
    ViewTables none;  // a render size too small for a view gives none
    Shift shift;
    initView(*r.map, none, shift, 640, 40);
    EXPECT_TRUE(none.drawnMask.empty() && r.tables.drawnMask.size() == 640u * 480u);
    initView(*r.map, none, shift, RenderWidth, RenderHeight);  // the shared map's header back
}

TEST(WorldView, SkyTurnsTwiceRoundTheHorizon) {
    auto& r = rig();  // heading -> sky offset: 900 -> 320, 1800 -> 0 (a half turn is the whole picture),
    r.openGround();   // 1.40625 -> 0.5 -> 0 and 4.21875 -> 1.5 -> 2 (halves to even)
    for (auto [heading, offset] : {std::pair{900.0f, 320}, {1800.0f, 0}, {1.40625f, 0}, {4.21875f, 2}, {3599.0f, 0}}) {
        r.pose(1024.5f, 1024.5f, heading), renderWorldView(r.scene());
        for (int c : {0, 1, 317, 639})
            for (int row : {0, 50, 120}) ASSERT_EQ(r.pixel(c, row), test::skyTexel((offset + c) % 640, row)) << heading << " column " << c;
    }
}

int drawnPixels() { return static_cast<int>(std::count_if(rig().target->pixels, rig().target->pixels + 640 * 480, [](uint8_t p) { return p != test::Sentinel; })); }

TEST(WorldView, RaysLeavingTheGridOrAMisfitTargetDrawSafely) {
    auto& r = rig();
    r.openGround(false), r.clearTarget(test::Sentinel);
    for (float heading : {0.0f, 1350.0f, 1800.0f, 2250.0f, 3000.0f}) r.pose(1.5f, 2.5f, heading), renderWorldView(r.scene());
    EXPECT_NE(r.pixel(319, 436), test::Sentinel);
    r.openGround();  // a cab just outside the city still sees it; one far away or at no number sees nothing
    const float nan = std::nanf("");
    for (auto [x, y] : {std::pair{-5.0f, 1000.0f}, {5000.0f, 1000.0f}, {1000.0f, -1e30f}, {1e30f, 1e30f}, {nan, 1000.0f}, {nan, nan}}) {
        r.pose(x, y, 0), r.clearTarget(test::Sentinel), renderWorldView(r.scene());
        EXPECT_TRUE(std::fabs(x) < 1e6f && std::fabs(y) < 1e6f ? drawnPixels() > 20000 : drawnPixels() == 0) << x << "," << y << ": " << drawnPixels();
    }
    Image* small = createImage(320, 240);  // a target of another size than the tables' is left alone
    std::memset(small->pixels, 7, 320 * 240), renderWorldView({*r.map, r.tables, r.player, r.shift, *r.state, *small});
    EXPECT_EQ(std::count(small->pixels, small->pixels + 320 * 240, 7), 320 * 240);
    destroyImage(small);
}

TEST(MapView, CabFarOffTheGridSeesOnlyBlackAndItsArrow) {
    for (float far : {3e9f, -3e9f, 1e30f}) {
        for (const auto& [x, y] : {std::pair{far, 1000.0f}, std::pair{1000.0f, far}}) {
            rig().pose(x, y, 0), rig().clearTarget(test::Sentinel), drawMapView(*rig().map, rig().player, *rig().state, *rig().target);
            const int black = static_cast<int>(std::count(rig().target->pixels, rig().target->pixels + 640 * 480, 255));
            const int arrow = static_cast<int>(std::count(rig().target->pixels, rig().target->pixels + 640 * 480, 22));
            // Heading 0: the tip 6 pixels out at 22.5 degrees below the x axis.
            EXPECT_TRUE(black + arrow == 640 * 480 && rig().pixel(326, 242) == 22 && rig().pixel(320, 240) == 22) << x << ", " << y;
        }
    }
}

}  // namespace
}  // namespace hc
