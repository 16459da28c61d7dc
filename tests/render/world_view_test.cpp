// Hand-worked cases of the world view: the tables every frame reads, and single columns
// worked out by hand. The reference test compares whole frames with a literal renderer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "render/world_view.h"
#include "render_fixture.h"

namespace hc {
namespace {

using test::decodePixel;
using test::GroundColour;
using test::rig;

constexpr int Centre = 319;  // the column that looks straight along the heading

bool isSky(int column, int row) { return rig().pixel(column, row) == test::skyTexel(column % 640, row); }

TEST(ViewTables, HeaderAndRowTables) {
    const auto& r = rig();
    EXPECT_EQ(std::make_tuple(r.map->viewTop, r.map->viewBottom, r.map->horizonRow, r.shift.dashboardHeight),
              std::make_tuple(0, 436, 202, 120));
    EXPECT_TRUE(r.map->projScale == 80.0f && r.map->eyeFactor == 0.85f);
    const struct { int row, shade; float distance; } rows[] = {  // distance 0: not checked{0, 16, 0}, {94, 16, 0}, {150, 9, 0}, {202, 2, 0}, {210, 1, 192.0f}, {214, 0, 128.0f}, {250, 6, 32.0f},
                {300, 12, 0}, {334, 16, 0}, {436, 16, 6.5641f}, {479, 16, 0}};
    for (const auto& s : rows) {
        EXPECT_TRUE(r.tables.rowShade[s.row] == s.shade && (s.distance == 0 || std::fabs(r.tables.rowFloorDistance[s.row] - s.distance) < 1e-3)) << s.row;
    }
    EXPECT_FLOAT_EQ(r.tables.rowLight[214], 0.0f);
    EXPECT_NEAR(r.tables.rowLight[150], std::pow(64.0 / 120.0, 0.85), 1e-6);
    const std::pair<int, float> exponents[] = {{320, 0.5f}, {256, 0.75f}, {384, 0.75f}, {193, 1 - 0.5f / 128}, {192, 1}, {0, 1}, {639, 1}};
    for (const auto& [column, e] : exponents) EXPECT_FLOAT_EQ(r.tables.headlightExponent[column], e) << column;
    EXPECT_EQ(r.tables.drawnMask.size(), 640u * 480u);
    // A render size too small for a view gives none.
    ViewTables none;
    Shift shift;
    initView(*r.map, none, shift, 640, 40);
    EXPECT_TRUE(none.drawnMask.empty());
    initView(*r.map, none, shift, RenderWidth, RenderHeight);  // the shared map's header back
}

TEST(WorldView, FaceCloseInFrontIsClippedWithItsTextureOffset) {
    auto& r = rig();
    r.openGround();
    r.wall(1020, 900, 1020, 1100, 5);
    r.pose(1000.0f, 1000.5f, 0);
    renderWorldView(r.scene());
    // h = 512, so the face spans rows -233 to 279 and starts at v = 58.25: rows 0..3
    // show texture row 58 (row 3 is the tie 58.5, which goes to even) and row 4 row 59.
    const int shade = r.tables.rowShade[279];
    for (int row = 0; row <= 4; ++row) {
        const auto d = decodePixel(r.pixel(Centre, row));
        EXPECT_TRUE(d.colour == 1 + (row < 4 ? 58 : 59) % 7 && d.level == shade + ((2 * Centre + row) % 4 == 0 ? 1 : 0)) << row;
    }
    EXPECT_EQ(decodePixel(r.pixel(Centre, 279)).colour, 1 + 127 % 7) << "the face's last row";
    EXPECT_EQ(decodePixel(r.pixel(Centre, 280)).colour, GroundColour);
}

// Faces at distance 128 or more are not drawn: the ground then starts where such a face
// would end (row 214) and the sky fills the column above it. Columns left of the centre
// look further right, so the sky's column is the screen column at heading 0.
TEST(WorldView, FacesAtTheDistanceLimitAreNotDrawn) {
    auto& r = rig();
    for (int distance : {127, 128, 0}) {
        r.openGround();
        if (distance) r.wall(1000 + distance, 900, 1000 + distance, 1100, 5);
        r.pose(distance ? 1000.0f : 1024.5f, 1000.5f, 0);
        r.clearTarget(test::Sentinel);
        renderWorldView(r.scene());
        int wallPixels = 0;
        for (int row = 0; row <= 436; ++row) wallPixels += r.pixel(Centre, row) < 238 && decodePixel(r.pixel(Centre, row)).colour <= 7;
        EXPECT_EQ(wallPixels > 70, distance == 127) << distance;
        if (distance == 127) continue;
        for (int row = 0; row < 214; ++row) ASSERT_TRUE(isSky(Centre, row)) << distance << " row " << row;
        for (int row = 215; row <= 436; ++row) ASSERT_EQ(decodePixel(r.pixel(Centre, row)).colour, GroundColour) << row;
        EXPECT_EQ(r.pixel(Centre, 437), test::Sentinel) << "the cockpit rows are not drawn";
    }
}

TEST(WorldView, RaysLeavingTheGridOrAMisfitTargetDrawSafely) {
    auto& r = rig();
    r.openGround(false);
    r.clearTarget(test::Sentinel);
    for (float heading : {0.0f, 1350.0f, 1800.0f, 2250.0f, 3000.0f}) {
        r.pose(1.5f, 2.5f, heading);
        renderWorldView(r.scene());
    }
    EXPECT_NE(r.pixel(Centre, 436), test::Sentinel);
    // A cab thrown just outside the city still sees it; one far away or at no number at
    // all sees nothing.
    r.openGround();
    const float nan = std::nanf("");
    const float places[][2] = {{-5.0f, 1000.0f}, {5000.0f, 1000.0f}, {1000.0f, -1e30f}, {1e30f, 1e30f}, {nan, 1000.0f}, {nan, nan}};
    for (const auto& [x, y] : places) {
        r.pose(x, y, 0);
        r.clearTarget(test::Sentinel);
        renderWorldView(r.scene());
        const auto drawn = std::count_if(r.target->pixels, r.target->pixels + 640 * 480, [](uint8_t p) { return p != test::Sentinel; });
        EXPECT_EQ(std::fabs(x) < 1e6f && std::fabs(y) < 1e6f ? drawn > 20000 : drawn == 0, true) << x << "," << y << ": " << drawn;
    }
    // A target of another size than the tables' is left alone.
    Image* small = createImage(320, 240);
    std::memset(small->pixels, 7, 320 * 240);
    renderWorldView({*r.map, r.tables, r.player, r.shift, *r.state, *small});
    EXPECT_EQ(std::count(small->pixels, small->pixels + 320 * 240, 7), 320 * 240);
    destroyImage(small);
}

TEST(WorldView, SkyTurnsTwiceRoundTheHorizon) {
    auto& r = rig();
    r.openGround();
    // heading -> sky offset: 900 -> 320, 1800 -> 0 (a half turn is the whole picture),
    // 1.40625 -> 0.5 -> 0 and 4.21875 -> 1.5 -> 2 (halves to even).
    for (auto [heading, offset] : {std::pair{900.0f, 320}, {1800.0f, 0}, {1.40625f, 0}, {4.21875f, 2}, {3599.0f, 0}}) {
        r.pose(1024.5f, 1024.5f, heading);
        renderWorldView(r.scene());
        for (int c : {0, 1, 317, 639})
            for (int row : {0, 50, 120}) ASSERT_EQ(r.pixel(c, row), test::skyTexel((offset + c) % 640, row)) << heading << " column " << c;
    }
}

}  // namespace
}  // namespace hc
