// Hand-worked cases of the world and map views: the tables, the sky's turn, and cabs and targets they must survive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "render/map_view.h"
#include "render/world_view.h"
#include "render_fixture.h"

namespace hc {
namespace {

using test::rig;

TEST(ViewTables, HeaderAndRowTables) {
    const auto& r = rig();
    EXPECT_EQ(std::make_tuple(r.map->viewTop, r.map->viewBottom, r.map->horizonRow, r.shift.dashboardHeight), std::make_tuple(0, 436, 202, 120));
    EXPECT_EQ(std::tuple(r.map->projScale, r.map->eyeFactor), std::tuple(80.0f, 0.85f));
    const struct { int row, shade; float distance; } rows[] = {  // distance 0: not checked
        {0, 16, 0}, {94, 16, 0}, {150, 9, 0}, {202, 2, 0}, {210, 1, 192.0f}, {214, 0, 128.0f}, {250, 6, 32.0f},
        {300, 12, 0}, {334, 16, 0}, {436, 16, 6.5641f}, {479, 16, 0}};
    for (const auto& s : rows)
        EXPECT_EQ(std::tuple(r.tables.rowShade[s.row], bool((s.distance == 0 || std::fabs(r.tables.rowFloorDistance[s.row] - s.distance) < 1e-3))),
                  std::tuple(s.shade, true)) << s.row;
    EXPECT_EQ(std::tuple(r.tables.rowLight[214], bool(std::fabs(r.tables.rowLight[150] - std::pow(64.0 / 120.0, 0.85)) < 1e-6)), std::tuple(0.0f, true));
    const std::pair<int, float> exponents[] = {{320, 0.5f}, {256, 0.75f}, {384, 0.75f}, {193, 1 - 0.5f / 128}, {192, 1}, {0, 1}, {639, 1}};
    for (const auto& [column, e] : exponents) EXPECT_FLOAT_EQ(r.tables.headlightExponent[column], e) << column;
    ViewTables none;  // a render size too small for a view gives none
    Shift shift;
    initView(*r.map, none, shift, 640, 40);
    EXPECT_EQ(std::tuple(bool(none.drawnMask.empty()), r.tables.drawnMask.size()), std::tuple(true, 640u * 480u));
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

// Columns worked out by hand from the rules under the rig's art: a wall texel is 1 + its
// texture row mod 7, a vehicle texel 8 + (its column + row) mod 3, the ground colour 13,
// a pixel 17 x colour + shade. Column 319 looks straight ahead; (2 x 319 + row) mod 4 = 0
// dithers rows 2, 6, 10, ... a level up (column 318: rows 0, 4, 8, ...).
TEST(WorldView, ColumnsWorkedByHandFromTheRules) {
    auto& r = rig();
    const MapCell wall{255, 1, Visible, 0, 0}, vehicle{0, 3, Visible | SeeThrough | Vehicle | SpriteAscending, 0, 2};
    const struct { const char* name; float x, y, heading; int wallX, vehicleX; bool engine, low; int column; std::vector<std::pair<int, int>> pixels; } cases[] = {
        // A face 20 ahead: h = 512, rows -233 to 279, cut at row 0 with v = 58.25 and
        // vstep 0.25; light (65 / 120)^0.85 = 0.594, shade 10. Row 0: texel row round(57.75)
        // = 58, texel 3; row 4 texel row 59; row 279 texel row 128, held at 127. Then the
        // ground: shade 10 on row 280, 12 on row 300, 16 on row 436.
        {"a face ahead", 1000, 1000.5f, 0, 1020, 0, false, false, 319, {{0, 61}, {2, 62}, {4, 78}, {279, 44}, {280, 231}, {300, 233}, {436, 237}}},
        // Headlights: exponent 1 - 0.5 x (1 - 1/128) in column 319, 0.594^0.504 = 0.769: shade 12.
        {"headlights", 1000, 1000.5f, 0, 1020, 0, true, false, 319, {{0, 63}, {2, 64}, {300, 233}}},
        // Low detail: column 318 undithered (row 300 would be), and column 319 its copy.
        {"low detail", 1000, 1000.5f, 0, 1020, 0, false, true, 318, {{0, 61}, {2, 61}, {4, 78}, {300, 233}}},
        {"low detail copy", 1000, 1000.5f, 0, 1020, 0, false, true, 319, {{0, 61}, {4, 78}, {300, 233}}},
        // A vehicle cell 20 ahead: top round(-233 + 0.82 x 512) = 187 to 279; the hit at
        // x + y = 2020.5 gives k = 8, ascending from sprite column 2: u = 40; vstep 42 / 92,
        // texel rows 0, 1 (row 190) and 42 held at 41 (row 279). The ray goes through it to
        // the wall 40 ahead: rows -16 to 240, v from 8 by 0.5, light (26 / 120)^0.85: shade
        // 4; row 186 texel row 100, texel 3.
        {"a vehicle", 1000, 1000.5f, 0, 1040, 1020, false, false, 319, {{0, 38}, {2, 39}, {186, 56}, {187, 163}, {190, 181}, {279, 146}, {280, 231}}},
        // Heading 85 degrees past the face x = 1001, 0.5 across: 0.5 / cos 85 = 5.737 along
        // the ray, h = 1784.9, rows -1315 to 470, cut to 0 and 436; vstep 128 / 1785, v from
        // 94.30: texel rows 94 and 125 at the ends; shade 16 at row 436, no ground.
        {"a grazing face", 1000.5f, 1000, 850, 1001, 0, false, false, 319, {{0, 84}, {436, 135}}},
    };
    // One cell at (1020, 1000) and a wall across y 980..1030 at wallX; the column looked along.
    auto column = [&](int wallX, const MapCell& at1020, int c) {
        r.openGround(), cellAt(*r.map, 1020, 1000) = at1020;
        for (int y = 980; y <= 1030; ++y) cellAt(*r.map, wallX, y) = wall;
        renderWorldView(r.scene());
        std::vector<uint8_t> pixels;
        for (int row = 0; row < RenderHeight; ++row) pixels.push_back(r.pixel(c, row));
        return pixels;
    };
    const MapCell ground{test::GroundColour, 1, Passable, 0, 0};
    for (const auto& c : cases) {
        r.pose(c.x, c.y, c.heading), r.shift.engineRunning = toFlag(c.engine), r.shift.lowDetail = toFlag(c.low);
        const std::vector<uint8_t> pixels = column(c.wallX, c.vehicleX ? vehicle : ground, c.column);
        for (auto [row, pixel] : c.pixels) EXPECT_EQ(pixels[row], pixel) << c.name << ", row " << row;
    }
    // A vehicle cell of no model (kind 0, or past the sheets) shows nothing of itself.
    r.pose(1000, 1000.5f, 0);
    const std::vector<uint8_t> alone = column(1040, ground, 319);
    for (const uint8_t kind : {uint8_t{0}, uint8_t{VehicleSheetCount + 1}})
        EXPECT_EQ(column(1040, MapCell{test::GroundColour, kind, Visible | SeeThrough | Vehicle, 0, 2}, 319), alone) << int{kind};
    r.openGround();
}

// A ray through a cell's corner crosses the x boundary: a tie goes to x.
TEST(WorldView, ARayThroughACornerCrossesTheXBoundary) {
    auto& r = rig();
    r.openGround(), cellAt(*r.map, 1001, 1001) = MapCell{255, 1, Visible, 0, 0};
    Body ray;
    ray.x = ray.y = 1000.5f, ray.dirX = ray.dirY = 0.5f, ray.stepSignX = ray.stepSignY = 1.0f, ray.travelRate = 1.0f;
    castStep(*r.map, ray);
    EXPECT_EQ(std::tuple(ray.hitSide, ray.x, ray.y, ray.travel), std::tuple(uint8_t{1}, 1001.0f, 1001.0f, 1.0f));
    r.openGround();
}

// A map-view pixel (sx, sy) shows the cell (x + dx + dy, round(y + dy - dx / 2)) of
// dx = sx - 320, dy = sy - 240: colour 0 as 1, a marked cell as 22.
TEST(MapView, PixelsShowTheirCellsWorkedByHand) {
    auto& r = rig();
    r.openGround(), r.pose(1000, 1000, 0);
    cellAt(*r.map, 1020, 1005).colour = 7;                     // dx 10, dy 10: y 1005 exactly
    cellAt(*r.map, 1030, 990).colour = 0;                      // dx 27, dy 3: 989.5 rounds to 990
    setCellFlag(cellAt(*r.map, 1000, 1020), PickupMark, true);  // dx -13, dy 13: 1019.5 to 1020
    drawMapView(*r.map, r.player, *r.state, *r.target);
    for (auto [x, y, colour] : {std::tuple{330, 250, 7}, {331, 250, 13}, {329, 250, 13}, {330, 249, 13}, {347, 243, 1}, {307, 253, 22}, {308, 253, 13}})
        EXPECT_EQ(r.pixel(x, y), colour) << x << "," << y;
    r.openGround();
}

int drawnPixels() { return static_cast<int>(std::count_if(rig().target->pixels, rig().target->pixels + 640 * 480, [](uint8_t p) { return p != test::Sentinel; })); }

TEST(WorldView, RaysLeavingTheGridOrAMisfitTargetDrawSafely) {
    auto& r = rig();
    r.openGround(false), r.clearTarget(test::Sentinel);
    for (float heading : {0.0f, 1350.0f, 1800.0f, 2250.0f, 3000.0f}) r.pose(1.5f, 2.5f, heading), renderWorldView(r.scene());
    EXPECT_NE(r.pixel(319, 436), test::Sentinel);
    r.openGround();  // a cab just outside the city still sees it; one far away or at no number sees nothing
    const float nan = std::nanf("");
    for (auto [x, y] : {std::pair{-5.0f, 1000.0f}, {5000.0f, 1000.0f}, {1000.0f, -1e30f}, {1e30f, 1e30f}, {3e9f, 1000.0f}, {1000.0f, -3e9f}, {nan, 1000.0f}, {nan, nan}}) {
        r.pose(x, y, 0), r.clearTarget(test::Sentinel), renderWorldView(r.scene());
        const bool near = std::fabs(x) < 1e6f && std::fabs(y) < 1e6f;
        EXPECT_TRUE(near ? drawnPixels() > 20000 : drawnPixels() == 0) << x << "," << y << ": " << drawnPixels();
        if (near) continue;  // the map view far off: black but for the arrow, its tip 6 out at 22.5 degrees
        r.clearTarget(test::Sentinel), drawMapView(*r.map, r.player, *r.state, *r.target);
        const int black = static_cast<int>(std::count(r.target->pixels, r.target->pixels + 640 * 480, 255));
        const int arrow = static_cast<int>(std::count(r.target->pixels, r.target->pixels + 640 * 480, 22));
        EXPECT_EQ(std::tuple(black + arrow, r.pixel(326, 242), r.pixel(320, 240)), std::tuple(640 * 480, 22, 22)) << x << ", " << y;
    }
    Image* small = createImage(320, 240);  // a target of another size than the tables' is left alone
    std::memset(small->pixels, 7, 320 * 240), renderWorldView({*r.map, r.tables, r.player, r.shift, *r.state, *small});
    EXPECT_EQ(std::count(small->pixels, small->pixels + 320 * 240, 7), 320 * 240);
    destroyImage(small);
}

}  // namespace
}  // namespace hc
