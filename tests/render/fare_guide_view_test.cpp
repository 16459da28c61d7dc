// The newcomer's guide over the cockpit, the minimap and the map view.
#include "render/fare_guide_view.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/colours.h"
#include "render/map_view.h"
#include "render/minimap.h"
#include "render_fixture.h"

namespace hc {
namespace {

struct Count {
    int n = 0;
    double x = 0, y = 0;  // the mean place of the pixels counted
};

Count countColour(const Image& image, uint32_t colour, int x1, int y1, int x2, int y2) {
    Count c;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            if (getPixel(image, x, y) == colour) c.n += 1, c.x += x, c.y += y;
    if (c.n > 0) c.x /= c.n, c.y /= c.n;
    return c;
}

struct Rig {
    Image* image = createImage(640, 480);
    FontSet font;  // no glyphs: the texts draw in the built-in font
    PlayerCar car;
    Shift shift;
    FareGuide guide;
    Rig() {
        car.x = 1000, car.y = 1000;
        shift.passengerCount = 2;
        shift.engineRunning = FlagOn;
        shift.passengers[1].pickup.x = 1100, shift.passengers[1].pickup.y = 1000;
        shift.passengers[2].pickup.x = 1030, shift.passengers[2].pickup.y = 1030;
        guide.active = true;
        guide.target = shift.passengers[1].pickup;
    }
    ~Rig() { destroyImage(image); }
};

TEST(FareGuideView, CockpitArrowPointsToTheSquareAndLeavesTheCountFree) {
    Rig rig;
    Image& image = *rig.image;
    // A gold dart whose tip lies below its centre (ahead); a ring instead of it inside.
    rotateBody(rig.car, 0);  // heading +x, the square straight ahead
    drawFareGuide(rig.guide, rig.car, rig.font, image);
    EXPECT_GT(countColour(image, ColourGold, 300, 37, 340, 60).n, 20);
    EXPECT_EQ(countColour(image, ColourGold, 300, 10, 340, 30).n, 0);
    EXPECT_EQ(countColour(image, ColourGold, 0, 100, 639, 479).n, 0);
    EXPECT_EQ(countColour(image, ColourInZone, 0, 0, 639, 479).n, 0);
    rig.guide.inSquare = true;
    fillImage(image, 0);
    drawFareGuide(rig.guide, rig.car, rig.font, image);
    EXPECT_EQ(countColour(image, ColourGold, 0, 0, 639, 479).n, 0);
    EXPECT_GT(countColour(image, ColourInZone, 300, 10, 340, 60).n, 40);
    // Whatever the heading, the delivered count's rows at the top stay the cockpit's.
    rig.guide.inSquare = false;
    for (int degrees = 0; degrees < 360; degrees += 15) {
        fillImage(image, 0);
        rig.car.heading = 10.0f * degrees;
        drawFareGuide(rig.guide, rig.car, rig.font, image);
        EXPECT_EQ(countColour(image, ColourGold, 0, 0, 639, 11).n + countColour(image, ColourBlack, 0, 0, 639, 11).n, 0)
            << degrees;
        EXPECT_GT(countColour(image, ColourGold, 280, 12, 360, 70).n, 20) << degrees;
    }
}

// On the minimap and the map view: a blue arrow whose tip lies ahead of the cab, gold
// diamonds on the waiting squares, and the square the cab is inside in ColourInZone.
TEST(FareGuideView, MinimapAndMapViewMarkTheCabAndTheSquares) {
    Rig rig;
    Image& image = *rig.image;
    // Where each view shows the cab and passenger 2's square (30 cells along x and y).
    const MinimapWindow window = minimapWindow(rig.car, 2);
    const double mx = 540 + (1000 - window.x0) / 2.0, my = 392 + (1000 - window.y0) / 2.0;
    const MapViewCell shown = mapViewCell(1000, 1000, 320, 240, 320, 270);
    ASSERT_EQ(shown.x, 1030);
    ASSERT_EQ(shown.y, 1030);
    const struct {
        bool map;
        int heading;
        double cabX, cabY, squareX, squareY, aheadX, aheadY;  // aheadX/Y: the heading on the screen
    } views[] = {
        {false, 0, mx, my, mx + 15, my + 15, 1, 0},
        {false, 90, mx, my, mx + 15, my + 15, 0, 1},
        {true, 0, 320, 240, 320, 270, 2 / std::sqrt(5.0), 1 / std::sqrt(5.0)},
        {true, 180, 320, 240, 320, 270, -2 / std::sqrt(5.0), -1 / std::sqrt(5.0)},
    };
    for (const auto& v : views) {
        for (const bool inside : {false, true}) {
            fillImage(image, 0);
            rig.car.heading = 10.0f * v.heading;
            rig.guide.inSquare = inside;
            rig.guide.target = rig.shift.passengers[2].pickup;
            if (v.map) drawMapGuide(rig.guide, rig.shift, rig.car, rig.font, image);
            else drawMinimapGuide(rig.guide, rig.shift, rig.car, image);
            const int sx = static_cast<int>(v.squareX), sy = static_cast<int>(v.squareY);
            const Count zone = countColour(image, ColourInZone, sx - 12, sy - 12, sx + 12, sy + 12);
            const Count gold = countColour(image, ColourGold, sx - 12, sy - 12, sx + 12, sy + 12);
            EXPECT_EQ(zone.n > 20, inside) << v.map << " " << v.heading;
            EXPECT_EQ(gold.n > 20, !inside) << v.map << " " << v.heading;
            // Hollow and wider than a car: the centre is free, the ring spans 9 pixels or more.
            const Count row = countColour(image, inside ? ColourInZone : ColourGold, sx - 12, sy, sx + 12, sy);
            EXPECT_EQ(getPixel(image, sx, sy), 0u);
            EXPECT_GE(row.n, 4);
            EXPECT_NEAR(row.x, sx, 1.0);
            EXPECT_GE(countColour(image, inside ? ColourInZone : ColourGold, sx - 12, sy - 12, sx - 5, sy + 12).n, 1);
            const Count arrow = countColour(image, ColourRoyalBlue, 0, 0, 639, 479);
            EXPECT_GT(arrow.n, 12) << v.map << " " << v.heading;
            const double along = (arrow.x - v.cabX) * v.aheadX + (arrow.y - v.cabY) * v.aheadY;
            EXPECT_GT(along, 1.0) << "the arrow lies ahead of the cab " << v.map << " " << v.heading;
        }
    }
    // The minimap shows nothing of it while it says "systems off".
    fillImage(image, 0);
    rig.shift.engineRunning = FlagOff;
    drawMinimapGuide(rig.guide, rig.shift, rig.car, image);
    EXPECT_EQ(countColour(image, ColourRoyalBlue, 0, 0, 639, 479).n, 0);
}

// The world view draws the square the cab is inside steadily in ColourInZone, on both
// blink phases of the marks; a guide outside its square, or none, changes nothing.
TEST(FareGuideView, WorldViewShowsTheSquareTheCabIsInsideSteadily) {
    test::RenderRig& r = test::rig();
    r.openGround();
    auto mark = [&](bool on) {
        for (int i = -4; i <= 4; ++i)
            for (int j = -4; j <= 4; ++j)
                if (std::abs(i) >= 3 || std::abs(j) >= 3) setCellFlag(cellAt(*r.map, 1020 + i, 1000 + j), PickupMark, on);
    };
    mark(true);
    FareGuide guide;
    guide.target.x = 1020, guide.target.y = 1000;
    auto render = [&](const FareGuide* g) {
        WorldViewScene scene = r.scene();
        scene.guide = g;
        renderWorldView(scene);
        std::vector<uint8_t> frame;
        for (int y = 0; y < RenderHeight; ++y) frame.insert(frame.end(), pixelAddress(*r.target, 0, y), pixelAddress(*r.target, RenderWidth, y));
        return frame;
    };
    for (const int64_t frame : {0, 1}) {
        r.pose(1000, 1000, 0);
        r.shift.frameCounter = frame;
        const std::vector<uint8_t> plain = render(nullptr);
        guide.inSquare = false;
        EXPECT_EQ(render(&guide), plain) << frame;
        guide.inSquare = true;
        const std::vector<uint8_t> zone = render(&guide);
        int changed = 0, other = 0;
        for (size_t i = 0; i < plain.size(); ++i) changed += zone[i] != plain[i], other += zone[i] != plain[i] && zone[i] != ColourInZone;
        EXPECT_GT(changed, 200) << frame;
        EXPECT_EQ(other, 0) << frame;
    }
    mark(false);
}

}  // namespace
}  // namespace hc
