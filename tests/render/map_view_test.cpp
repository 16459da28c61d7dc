// The map view's projection worked by hand, and a cab far off the grid. Whole frames
// are compared with a literal renderer in the reference test.
#include <gtest/gtest.h>

#include <utility>

#include "render/map_view.h"
#include "render_fixture.h"

namespace hc {
namespace {

using test::rig;

TEST(MapViewProjection, OnePixelRightIsACellAlongXAndHalfBackAlongY) {
    // The cab at (10.4, 10.6) is in cell (10, 11), shown at the centre (320, 240). One
    // pixel down is one cell along both axes; y rounds halves to even.
    const struct { int cx, cy, sx, sy, x, y; } cases[] = {{10, 11, 320, 240, 10, 11}, {10, 11, 321, 240, 11, 10},  // 10.5 -> 10
                 {10, 11, 323, 240, 13, 10},                               // 9.5 -> 10
                 {10, 11, 325, 240, 15, 8},                                // 8.5 -> 8
                 {10, 11, 319, 240, 9, 12},                                // 11.5 -> 12
                 {10, 11, 320, 241, 11, 12}, {0, 0, 323, 239, 2, -2}};     // -1.5 -> -2
    for (const auto& c : cases) {
        const MapViewCell cell = mapViewCell(c.cx, c.cy, 320, 240, c.sx, c.sy);
        EXPECT_EQ(std::make_pair(cell.x, cell.y), std::make_pair(c.x, c.y)) << c.sx << "," << c.sy;
    }
}

TEST(MapView, CabFarOffTheGridSeesOnlyBlackAndItsArrow) {
    for (float far : {3e9f, -3e9f, 1e30f}) {
        for (const auto& [x, y] : {std::pair{far, 1000.0f}, std::pair{1000.0f, far}}) {
            rig().pose(x, y, 0);
            rig().clearTarget(test::Sentinel);
            drawMapView(*rig().map, rig().player, *rig().state, *rig().target);
            int black = 0, arrow = 0;
            for (int row = 0; row < 480; ++row)
                for (int c = 0; c < 640; ++c) black += rig().pixel(c, row) == 255, arrow += rig().pixel(c, row) == 22;
            // Heading 0: the tip 6 pixels out at 22.5 degrees below the x axis.
            EXPECT_TRUE(black + arrow == 640 * 480 && rig().pixel(326, 242) == 22 && rig().pixel(320, 240) == 22) << x << ", " << y;
        }
    }
}

}  // namespace
}  // namespace hc
