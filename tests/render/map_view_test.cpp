#include <gtest/gtest.h>

#include <utility>

#include "render/map_view.h"
#include "render_fixture.h"

namespace hc {
namespace {

using test::GroundColour;
using test::rig;

TEST(MapViewProjection, CabCellAndNeighbours) {
    // The cab at (10.4, 10.6) is in cell (10, 11) for this view.
    auto at = [](int sx, int sy) { return mapViewCell(10, 11, 320, 240, sx, sy); };
    EXPECT_EQ(at(320, 240).x, 10);
    EXPECT_EQ(at(320, 240).y, 11);
    // One pixel right: one cell along x, half a cell back along y (10.5 goes to 10).
    EXPECT_EQ(at(321, 240).x, 11);
    EXPECT_EQ(at(321, 240).y, 10);
    EXPECT_EQ(at(323, 240).y, 10);  // 9.5 goes to 10
    EXPECT_EQ(at(325, 240).y, 8);   // 8.5 goes to 8
    EXPECT_EQ(at(319, 240).y, 12);  // 11.5 goes to 12
    // One pixel down: one cell along both axes.
    EXPECT_EQ(at(320, 241).x, 11);
    EXPECT_EQ(at(320, 241).y, 12);
    // Negative halves: -1.5 goes to -2.
    EXPECT_EQ(mapViewCell(0, 0, 320, 240, 323, 239).y, -2);
}

class MapView : public ::testing::Test {
protected:
    void SetUp() override {
        rig().openGround();
        rig().pose(1000.4f, 1000.6f, 0);
    }
    void draw() { drawMapView(*rig().map, rig().player, *rig().state, *rig().target); }
    MapCell& cellUnder(int sx, int sy) {
        const MapViewCell c = mapViewCell(1000, 1001, 320, 240, sx, sy);
        return cellAt(*rig().map, c.x, c.y);
    }
    uint8_t pixel(int x, int y) { return rig().pixel(x, y); }
};

TEST_F(MapView, GroundShowsRawColoursVehiclesDarkPickupsWhite) {
    cellUnder(330, 250).colour = 9;
    cellUnder(331, 250).colour = 0;  // a vehicle cell
    cellUnder(332, 250).flags |= PickupMark;
    rig().shift.frameCounter = 1;
    draw();
    EXPECT_EQ(pixel(330, 250), 9);
    EXPECT_EQ(pixel(331, 250), 1);
    EXPECT_EQ(pixel(332, 250), 22);
    EXPECT_EQ(pixel(333, 250), GroundColour);
    EXPECT_EQ(pixel(100, 400), GroundColour);
}

TEST_F(MapView, WallsRiseAsFacadesWithRoofLines) {
    // Facade rows are texture rows 0, 16, ..., 112 (kind 5: 1 + v mod 7).
    const uint8_t facade[8] = {1, 3, 5, 7, 2, 4, 6, 1};
    cellUnder(200, 100) = MapCell{255, 5, Visible, 0, 0};
    cellUnder(400, 100) = MapCell{255, 5, Visible | SeeThrough, 0, 0};
    cellUnder(100, 3) = MapCell{255, 5, Visible, 0, 0};
    cellUnder(500, 100) = MapCell{255, 6, Visible, 0, 0};  // row 112 transparent
    draw();
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(pixel(200, 93 + k), facade[k]) << k;
        EXPECT_EQ(pixel(400, 93 + k), facade[k]) << k;
    }
    EXPECT_EQ(pixel(200, 92), 64) << "roof line";
    EXPECT_EQ(pixel(400, 92), GroundColour) << "see-through walls have no roof";
    EXPECT_EQ(pixel(200, 101), GroundColour);
    // On screen row 3 only the facade rows 0..3 show (texture rows 64..112), no roof.
    for (int row = 0; row <= 3; ++row) EXPECT_EQ(pixel(100, row), facade[4 + row]) << row;
    // A transparent bottom texel is still written to the wall's own pixel.
    EXPECT_EQ(pixel(500, 100), 0);
    EXPECT_EQ(pixel(500, 99), facade[6]);
}

TEST_F(MapView, FacadesOfNearerCellsCoverThoseBehind) {
    // Two walls one screen row apart: the lower one's facade paints over the upper's.
    cellUnder(300, 150) = MapCell{255, 5, Visible, 0, 0};
    cellUnder(300, 151) = MapCell{255, 3, Visible, 0, 0};  // kind 3: 7 except rows 60..69
    draw();
    EXPECT_EQ(pixel(300, 151), 7);
    EXPECT_EQ(pixel(300, 150), 7);
    EXPECT_EQ(pixel(300, 144), 7);
    EXPECT_EQ(pixel(300, 143), 64) << "the nearer roof line";
    EXPECT_EQ(pixel(300, 142), 64) << "the farther roof line";
}

TEST_F(MapView, EdgesOfTheGridAndBottomRowsStayBlack) {
    rig().pose(5.0f, 5.0f, 0);
    rig().clearTarget(test::Sentinel);
    draw();
    const MapViewCell corner = mapViewCell(5, 5, 320, 240, 0, 0);
    ASSERT_LE(corner.x, 0);
    EXPECT_EQ(pixel(0, 0), 255);
    EXPECT_EQ(pixel(320, 200), 255) << "cell (-35, -35) lies off the grid";
    // The boundary wall (x = 0 or y = 0) never shows; cell (1, 1) does.
    const MapViewCell inside = mapViewCell(5, 5, 320, 240, 320, 236);
    EXPECT_EQ(inside.x, 1);
    EXPECT_EQ(inside.y, 1);
    EXPECT_EQ(pixel(320, 236), GroundColour);
    EXPECT_EQ(pixel(320, 235), 255) << "cell (0, 0)";
    for (int row = 472; row < 480; ++row)
        for (int c = 0; c < 640; c += 37) ASSERT_EQ(pixel(c, row), 255) << row;
    rig().pose(1000.4f, 1000.6f, 0);
    draw();
    EXPECT_EQ(pixel(320, 471), GroundColour);
    EXPECT_EQ(pixel(320, 472), 255);
}

TEST_F(MapView, CabFarOffTheGridSeesOnlyBlackAndItsArrow) {
    for (float far : {3e9f, -3e9f, 1e30f}) {
        for (const auto& [x, y] : {std::pair{far, 1000.0f}, std::pair{1000.0f, far}}) {
            rig().pose(x, y, 0);
            rig().clearTarget(test::Sentinel);
            draw();
            int black = 0, arrow = 0;
            for (int row = 0; row < 480; ++row)
                for (int c = 0; c < 640; ++c) black += pixel(c, row) == 255, arrow += pixel(c, row) == 22;
            EXPECT_EQ(black + arrow, 640 * 480) << x << ", " << y;
            EXPECT_EQ(pixel(326, 242), 22);
            EXPECT_EQ(pixel(320, 240), 22);
        }
    }
}

TEST_F(MapView, CabArrowFollowsTheHeading) {
    draw();
    // Heading 0: the tip 6 pixels out at 22.5 degrees below the x axis, (5.54, 2.30).
    EXPECT_EQ(pixel(326, 242), 22);
    EXPECT_EQ(pixel(320, 240), 22);
    EXPECT_EQ(pixel(314, 238), GroundColour);
    rig().pose(1000.4f, 1000.6f, 1800);
    draw();
    EXPECT_EQ(pixel(314, 238), 22);
    EXPECT_EQ(pixel(326, 242), GroundColour);
}

}  // namespace
}  // namespace hc
