#include <gtest/gtest.h>

#include <cmath>

#include "render/world_view.h"
#include "render_fixture.h"

namespace hc {
namespace {

using test::decodePixel;
using test::GroundColour;
using test::rig;

constexpr int Centre = 319;  // the column that looks straight along the heading

bool isSky(int column, int row, float heading) {
    const int offset = static_cast<int>(std::nearbyint(heading / 3600.0 * 1280.0)) % 640;
    return rig().pixel(column, row) == test::skyTexel((offset + column) % 640, row);
}

TEST(ViewTables, HeaderAndRowTables) {
    const auto& r = rig();
    EXPECT_EQ(r.map->viewTop, 0);
    EXPECT_EQ(r.map->viewBottom, 436);
    EXPECT_EQ(r.map->horizonRow, 202);
    EXPECT_FLOAT_EQ(r.map->projScale, 80.0f);
    EXPECT_FLOAT_EQ(r.map->eyeFactor, 0.85f);
    EXPECT_EQ(r.shift.dashboardHeight, 120);
    const struct {
        int row, shade;
    } shades[] = {{0, 16}, {94, 16}, {150, 9}, {202, 2}, {214, 0}, {250, 6}, {300, 12}, {334, 16}, {479, 16}};
    for (const auto& s : shades) EXPECT_EQ(r.tables.rowShade[s.row], s.shade) << "row " << s.row;
    EXPECT_FLOAT_EQ(r.tables.rowLight[214], 0.0f);
    EXPECT_NEAR(r.tables.rowFloorDistance[210], 192.0f, 1e-3);
    EXPECT_NEAR(r.tables.rowFloorDistance[250], 32.0f, 1e-4);
    EXPECT_NEAR(r.tables.rowFloorDistance[436], 6.564f, 1e-3);
    EXPECT_FLOAT_EQ(r.tables.headlightExponent[320], 0.5f);
    EXPECT_FLOAT_EQ(r.tables.headlightExponent[256], 0.75f);
    EXPECT_FLOAT_EQ(r.tables.headlightExponent[192], 1.0f);
    EXPECT_FLOAT_EQ(r.tables.headlightExponent[0], 1.0f);
    EXPECT_EQ(r.tables.drawnMask.size(), 640u * 480u);
}

TEST(ViewTables, TooSmallRenderSizeGivesNoView) {
    CityMap* map = newCityMap();
    ViewTables tables;
    Shift shift;
    initView(*map, tables, shift, 640, 40);
    EXPECT_EQ(tables.width, 0);
    EXPECT_TRUE(tables.drawnMask.empty());
    deleteCityMap(map);
}

TEST(CastStep, StopsAtTheFirstVisibleCell) {
    auto& r = rig();
    r.openGround();
    r.wall(1020, 990, 1020, 1010, 5);
    r.pose(1000.0f, 1000.5f, 0);
    Body ray;
    beginRay(ray, r.player);
    castStep(*r.map, ray);
    EXPECT_FLOAT_EQ(ray.travel, 20.0f);
    EXPECT_FLOAT_EQ(ray.x, 1020.0f);
    EXPECT_EQ(ray.hitSide, 1);
    EXPECT_EQ(r.map->probeCell.kind, 5);
    // Heading +y meets y boundaries.
    r.wall(995, 1012, 1005, 1012, 7);
    r.pose(1000.25f, 1000.5f, 900);
    beginRay(ray, r.player);
    castStep(*r.map, ray);
    EXPECT_EQ(ray.hitSide, 2);
    EXPECT_EQ(r.map->probeCell.kind, 7);
    EXPECT_NEAR(ray.travel, 11.5f, 1e-4);
}

TEST(CastStep, RayLeavingAnUnwalledGridEndsOnTheEdge) {
    auto& r = rig();
    r.openGround(false);
    r.pose(3.5f, 3.5f, 1800);
    Body ray;
    beginRay(ray, r.player);
    castStep(*r.map, ray);
    EXPECT_EQ(r.map->probeCell.kind, 17);
    EXPECT_TRUE(hasFlag(r.map->probeCell, Visible));
    EXPECT_NEAR(ray.travel, 3.5f, 1e-3);
    // The whole view near the corner draws without reading off the grid.
    r.clearTarget(test::Sentinel);
    for (float heading : {0.0f, 1350.0f, 2250.0f, 3000.0f}) {
        r.pose(1.5f, 2.5f, heading);
        renderWorldView(r.scene());
    }
    EXPECT_NE(r.pixel(Centre, 436), test::Sentinel);
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
        EXPECT_EQ(d.colour, 1 + (row < 4 ? 58 : 59) % 7) << "row " << row;
        EXPECT_EQ(d.level, shade + ((2 * Centre + row) % 4 == 0 ? 1 : 0)) << "row " << row;
    }
    EXPECT_EQ(decodePixel(r.pixel(Centre, 279)).colour, 1 + 127 % 7) << "the face's last row";
    EXPECT_EQ(decodePixel(r.pixel(Centre, 280)).colour, GroundColour);
    EXPECT_EQ(decodePixel(r.pixel(Centre, 436)).colour, GroundColour);
}

TEST(WorldView, RayThatMeetsNothingDrawsGroundAndSky) {
    auto& r = rig();
    r.openGround();
    r.pose(1024.5f, 1024.5f, 0);
    r.clearTarget(test::Sentinel);
    renderWorldView(r.scene());
    // The ray ends at 129.5: a face there would end on row 214.
    for (int row = 0; row < 214; ++row) ASSERT_TRUE(isSky(Centre, row, 0)) << row;
    for (int row = 214; row <= 436; ++row) {
        const auto d = decodePixel(r.pixel(Centre, row));
        ASSERT_EQ(d.colour, GroundColour) << row;
        ASSERT_EQ(d.level, r.tables.rowShade[row] + ((2 * Centre + row) % 4 == 0 && r.tables.rowShade[row] < 16))
            << row;
    }
    EXPECT_EQ(r.pixel(Centre, 437), test::Sentinel) << "the cockpit rows are not drawn";
}

TEST(WorldView, FacesAtTheDistanceLimitAreNotDrawn) {
    auto& r = rig();
    for (int distance : {127, 128}) {
        r.openGround();
        r.wall(1000 + distance, 900, 1000 + distance, 1100, 5);
        r.pose(1000.0f, 1000.5f, 0);
        renderWorldView(r.scene());
        int wallPixels = 0;
        for (int row = 0; row <= 436; ++row) {
            const int colour = decodePixel(r.pixel(Centre, row)).colour;
            wallPixels += r.pixel(Centre, row) < 238 && colour >= 1 && colour <= 7;
        }
        if (distance == 127) {
            EXPECT_GT(wallPixels, 70);
        } else {
            EXPECT_EQ(wallPixels, 0);
            // The ground starts on row 214; its first row looks at the wall cell itself.
            EXPECT_EQ(decodePixel(r.pixel(Centre, 215)).colour, GroundColour);
            EXPECT_FALSE(isSky(Centre, 214, 0));
            EXPECT_TRUE(isSky(Centre, 213, 0));
        }
    }
}

TEST(WorldView, SeeThroughFacesShowWhatIsBehind) {
    auto& r = rig();
    r.openGround();
    r.wall(1040, 900, 1040, 1100, 16, Visible | SeeThrough);  // low wall, open at the top
    r.wall(1060, 900, 1060, 1100, 5);
    r.pose(1000.0f, 1000.5f, 0);
    renderWorldView(r.scene());
    // Low wall at 40: rows -16..240, transparent above row 112. Wall at 60: rows 57..228.
    EXPECT_TRUE(isSky(Centre, 30, 0));
    EXPECT_GE(decodePixel(r.pixel(Centre, 60)).colour, 1);
    EXPECT_LE(decodePixel(r.pixel(Centre, 60)).colour, 7);
    EXPECT_NE(decodePixel(r.pixel(Centre, 111)).colour, 11);
    EXPECT_EQ(decodePixel(r.pixel(Centre, 112)).colour, 11);
    EXPECT_EQ(decodePixel(r.pixel(Centre, 200)).colour, 11);
    EXPECT_EQ(decodePixel(r.pixel(Centre, 240)).colour, 11);
    EXPECT_EQ(decodePixel(r.pixel(Centre, 241)).colour, GroundColour);
}

TEST(WorldView, TransparentTexelsOfASolidFace) {
    auto& r = rig();
    // Holes in the middle of a face keep last frame's pixels: no sky below the first
    // drawn pixel, nothing behind a face that stops the ray.
    r.openGround();
    r.wall(1020, 900, 1020, 1100, 3);
    r.pose(1000.0f, 1000.5f, 0);
    r.clearTarget(test::Sentinel);
    renderWorldView(r.scene());
    EXPECT_EQ(decodePixel(r.pixel(Centre, 0)).colour, 7);
    EXPECT_EQ(r.pixel(Centre, 20), test::Sentinel);  // texture row 63
    EXPECT_EQ(decodePixel(r.pixel(Centre, 60)).colour, 7);
    // Holes at the top of a face let the sky down to the first drawn pixel.
    r.wall(1020, 900, 1020, 1100, 4);
    renderWorldView(r.scene());
    EXPECT_TRUE(isSky(Centre, 10, 0));
    EXPECT_TRUE(isSky(Centre, 40, 0));
    EXPECT_EQ(decodePixel(r.pixel(Centre, 60)).colour, 7);
}

TEST(WorldView, OnlyTheNearestOfAVehicleRowIsDrawn) {
    auto& r = rig();
    r.openGround();
    ASSERT_TRUE(stampVehicle(*r.map, 1010, 1000, 1, 0, 1, nullptr));  // opaque sheet
    ASSERT_TRUE(stampVehicle(*r.map, 1020, 1000, 1, 0, 3, nullptr));
    r.wall(1040, 900, 1040, 1100, 5);
    r.pose(1000.0f, 1000.5f, 0);
    renderWorldView(r.scene());
    // The rear face at x = 1007: rows 159..422, sheet column 16 * 2 + 8.
    EXPECT_LE(decodePixel(r.pixel(Centre, 158)).colour, 7);
    EXPECT_EQ(decodePixel(r.pixel(Centre, 159)).colour, 8 + 40 % 3);
    EXPECT_EQ(decodePixel(r.pixel(Centre, 422)).colour, 8 + 40 % 3);

    // With the nearer vehicle transparent, the one behind it is still not drawn: the
    // ray goes on to the wall.
    r.openGround();
    ASSERT_TRUE(stampVehicle(*r.map, 1010, 1000, 1, 0, 2, nullptr));
    ASSERT_TRUE(stampVehicle(*r.map, 1020, 1000, 1, 0, 1, nullptr));
    r.wall(1040, 900, 1040, 1100, 5);
    renderWorldView(r.scene());
    for (int row = 0; row <= 436; ++row) {
        const int colour = decodePixel(r.pixel(Centre, row)).colour;
        ASSERT_FALSE(colour >= 8 && colour <= 10) << "vehicle pixel on row " << row;
    }
    EXPECT_EQ(decodePixel(r.pixel(Centre, 300)).colour, GroundColour);
}

TEST(WorldView, DitherRaisesEveryFourthPixelBelowFullShade) {
    auto& r = rig();
    r.openGround();
    r.pose(1024.5f, 1024.5f, 450);
    renderWorldView(r.scene());
    int raised = 0;
    for (int column : {100, 101, 319, 320, 639}) {
        for (int row = 215; row <= 436; ++row) {
            const int shade = r.tables.rowShade[row];
            const bool pattern = (2 * column + row) % 4 == 0;
            const auto d = decodePixel(r.pixel(column, row));
            ASSERT_EQ(d.colour, GroundColour);
            ASSERT_EQ(d.level, shade < 16 && pattern ? shade + 1 : shade) << column << "," << row;
            raised += shade == 15 && pattern;
        }
    }
    EXPECT_GT(raised, 0);
}

TEST(WorldView, HeadlightsBrightenTheMiddleWhileTheyWork) {
    auto& r = rig();
    r.openGround();
    r.wall(1020, 800, 1020, 1200, 5);
    r.pose(1000.0f, 1000.5f, 0);
    // Row 1 is off the dither pattern in both columns compared.
    auto level = [&](int column) { return decodePixel(r.pixel(column, 1)).level; };
    // The face ends on row 279: light (65 / 120)^0.85 = 0.594, level 16 * 0.594 = 9.50 -> 10.
    // Column 319 takes the exponent 1 - 0.5 (1 - 1/128): 16 * 0.594^0.504 = 12.3 -> 12.
    renderWorldView(r.scene());
    EXPECT_EQ(level(Centre), 10);
    EXPECT_EQ(level(50), 10);
    r.shift.engineRunning = FlagOn;
    renderWorldView(r.scene());
    EXPECT_EQ(level(Centre), 12);
    EXPECT_EQ(level(50), 10);
    r.shift.damage[1] = 0.3f;
    renderWorldView(r.scene());
    EXPECT_EQ(level(Centre), level(50)) << "broken headlights give no cone";
}

TEST(WorldView, PickupSquaresBlinkEveryFrame) {
    auto& r = rig();
    r.openGround();
    for (int x = 1001; x <= 1030; ++x)
        for (int y = 990; y <= 1010; ++y) cellAt(*r.map, x, y).flags |= PickupMark;
    r.pose(1000.0f, 1000.5f, 0);
    renderWorldView(r.scene());
    EXPECT_EQ(r.pixel(Centre, 436), test::PickupShade);
    r.shift.frameCounter = 7;
    renderWorldView(r.scene());
    EXPECT_EQ(decodePixel(r.pixel(Centre, 436)).colour, GroundColour);
}

TEST(WorldView, LowDetailDoublesColumnsWithoutDither) {
    auto& r = rig();
    r.openGround();
    r.wall(1030, 980, 1030, 1010, 5);
    ASSERT_TRUE(stampVehicle(*r.map, 1012, 993, 1, 0, 4, nullptr));
    r.pose(1000.0f, 1000.5f, 100);
    r.shift.lowDetail = FlagOn;
    r.clearTarget(test::Sentinel);
    renderWorldView(r.scene());
    for (int row = 0; row <= 436; ++row) {
        for (int c = 1; c < 640; c += 2) ASSERT_EQ(r.pixel(c, row), r.pixel(c - 1, row)) << c << "," << row;
        // No dither: the ground keeps its row's shade in every column.
        for (int c = 0; c < 640; c += 2) {
            const auto d = decodePixel(r.pixel(c, row));
            if (r.pixel(c, row) >= 238 || d.colour != GroundColour) continue;  // sky, marks, walls
            ASSERT_EQ(d.level, r.tables.rowShade[row]) << c << "," << row;
        }
    }
    EXPECT_EQ(r.pixel(1, 437), test::Sentinel);
}

TEST(WorldView, SkyTurnsTwiceRoundTheHorizon) {
    auto& r = rig();
    r.openGround();
    // heading -> sky offset: 900 -> 320, 1800 -> 0 (a half turn is the whole picture),
    // 1.40625 -> 0.5 -> 0 and 4.21875 -> 1.5 -> 2 (halves to even).
    const struct {
        float heading;
        int offset;
    } cases[] = {{900, 320}, {1800, 0}, {1.40625f, 0}, {4.21875f, 2}, {3599, 0}};
    for (const auto& k : cases) {
        r.pose(1024.5f, 1024.5f, k.heading);
        renderWorldView(r.scene());
        for (int c : {0, 1, 317, 639}) {
            for (int row : {0, 50, 120}) {
                ASSERT_EQ(r.pixel(c, row), test::skyTexel((k.offset + c) % 640, row))
                    << "heading " << k.heading << " column " << c;
            }
        }
    }
}

TEST(WorldView, TargetThatDoesNotFitIsLeftAlone) {
    auto& r = rig();
    r.openGround();
    r.pose(1024.5f, 1024.5f, 0);
    Image* small = createImage(320, 240);
    std::memset(small->pixels, 7, 320 * 240);
    renderWorldView({*r.map, r.tables, r.player, r.shift, *r.state, *small});
    EXPECT_EQ(small->pixels[0], 7);
    EXPECT_EQ(small->pixels[320 * 240 - 1], 7);
    destroyImage(small);
}

}  // namespace
}  // namespace hc
