// The newcomer's guide over the cockpit, the minimap, the map view and the world view.
#include "render/fare_guide_view.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/colours.h"
#include "render/map_view.h"
#include "render/minimap.h"
#include "render_fixture.h"

namespace hc {
namespace {

struct Count {  // how many pixels of a colour a rectangle holds, and their mean place
    int n = 0;
    double x = 0, y = 0;
};
Count count(const Image& image, uint32_t colour, int x1, int y1, int x2, int y2) {
    Count c;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            if (getPixel(image, x, y) == colour) c.n += 1, c.x += x, c.y += y;
    return c.n > 0 ? Count{c.n, c.x / c.n, c.y / c.n} : c;
}

// The cab at (1000, 1000); passenger 1 waits 100 cells along x, passenger 2 at (+30, +30).
struct Scene {
    Image* image = createImage(640, 480);
    FontSet font;  // no glyphs: the texts draw in the built-in font
    PlayerCar car;
    Shift shift;
    FareGuide guide;
    Scene() {
        car.x = car.y = 1000;
        shift.passengerCount = 2, shift.engineRunning = FlagOn;
        shift.passengers[1].pickup.x = 1100, shift.passengers[1].pickup.y = 1000;
        shift.passengers[2].pickup.x = shift.passengers[2].pickup.y = 1030;
        guide.active = true, guide.target = shift.passengers[1].pickup;
    }
    ~Scene() { destroyImage(image); }
};

TEST(FareGuideView, CockpitArrowPointsToTheSquareAndLeavesTheCountFree) {
    Scene s;
    Image& image = *s.image;
    for (int degrees = 15; degrees <= 360; degrees += 15) {
        fillImage(image, 0), s.car.heading = 10.0f * (degrees % 360);
        drawFareGuide(s.guide, s.car, s.font, image);
        // Whatever the heading, the delivered count's rows at the top stay the cockpit's.
        EXPECT_EQ(count(image, ColourGold, 0, 0, 639, 11).n + count(image, ColourBlack, 0, 0, 639, 11).n, 0) << degrees;
        EXPECT_GT(count(image, ColourGold, 280, 12, 360, 70).n, 20) << degrees;
        EXPECT_EQ(count(image, ColourGold, 0, 100, 639, 479).n + count(image, ColourInZone, 0, 0, 639, 479).n, 0);
    }
    // Last, straight ahead: the tip below the dart's centre, the notch between the barbs
    // above it. Inside, a ring takes its place.
    EXPECT_GT(count(image, ColourGold, 318, 42, 322, 48).n, 0);
    EXPECT_EQ(count(image, ColourGold, 318, 10, 322, 31).n, 0);
    EXPECT_GT(count(image, ColourGold, 300, 20, 316, 33).n, 0);  // the barbs swept back
    s.guide.inSquare = true, fillImage(image, 0);
    drawFareGuide(s.guide, s.car, s.font, image);
    EXPECT_EQ(count(image, ColourGold, 0, 0, 639, 479).n, 0);
    EXPECT_GT(count(image, ColourInZone, 300, 10, 340, 60).n, 40);
}

// On the minimap and the map view: a blue arrow whose tip lies ahead of the cab, a gold
// diamond on a waiting square, in ColourInZone while the cab is inside it.
TEST(FareGuideView, MinimapAndMapViewMarkTheCabAndTheSquares) {
    Scene s;
    Image& image = *s.image;
    const MinimapWindow window = minimapWindow(s.car, 2);
    const double mx = 540 + (1000 - window.x0) / 2.0, my = 392 + (1000 - window.y0) / 2.0;
    ASSERT_EQ(mapViewCell(1000, 1000, 320, 240, 320, 270).y, 1030);  // where the map view shows passenger 2
    const double r5 = std::sqrt(5.0);
    struct View { bool map; int heading; double cabX, cabY, squareX, squareY, aheadX, aheadY; };  // ahead: heading on screen
    const View views[] = {
        {false, 0, mx, my, mx + 15, my + 15, 1, 0},      {false, 90, mx, my, mx + 15, my + 15, 0, 1},
        {true, 0, 320, 240, 320, 270, 2 / r5, 1 / r5},   {true, 180, 320, 240, 320, 270, -2 / r5, -1 / r5},
    };
    s.guide.target = s.shift.passengers[2].pickup;
    for (const auto& v : views) {
        for (const bool inside : {false, true}) {
            SCOPED_TRACE(testing::Message() << v.map << " " << v.heading << " " << inside);
            fillImage(image, 0);
            s.car.heading = 10.0f * v.heading, s.guide.inSquare = inside;
            if (v.map) drawMapGuide(s.guide, s.shift, s.car, s.font, image);
            else drawMinimapGuide(s.guide, s.shift, s.car, image);
            const int sx = static_cast<int>(v.squareX), sy = static_cast<int>(v.squareY);
            const uint32_t shownColour = inside ? ColourInZone : ColourGold;
            EXPECT_GT(count(image, shownColour, sx - 12, sy - 12, sx + 12, sy + 12).n, 20);
            // Hollow, centred on the square and wider than a car (at least 11 pixels).
            const Count row = count(image, shownColour, sx - 12, sy, sx + 12, sy), left = count(image, shownColour, sx - 12, sy, sx - 5, sy);
            EXPECT_TRUE(getPixel(image, sx, sy) == 0 && std::fabs(row.x - sx) <= 1.0 && left.n >= 1);
            const Count arrow = count(image, ColourRoyalBlue, 0, 0, 639, 479);
            EXPECT_GT(arrow.n, 12);
            EXPECT_GT((arrow.x - v.cabX) * v.aheadX + (arrow.y - v.cabY) * v.aheadY, 1.0) << "the tip lies ahead";
        }
    }
}

// The world view draws the square the cab is inside steadily in ColourInZone, on both
// blink phases of the marks; a guide outside its square, or none, changes nothing.
TEST(FareGuideView, WorldViewShowsTheSquareTheCabIsInsideSteadily) {
    test::RenderRig& r = test::rig();
    r.openGround();
    auto mark = [&](int x, bool on) {  // a square's frame (without the gaps: all of it counts)
        for (int i = -4; i <= 4; ++i)
            for (int j = -4; j <= 4; ++j) setCellFlag(cellAt(*r.map, x + i, 1000 + j), PickupMark, on && (std::abs(i) >= 3 || std::abs(j) >= 3));
    };
    mark(1020, true), mark(1040, true);  // the cab's square and one beyond it, which blinks on
    FareGuide guide;  // the square 20 cells ahead, in the picture
    guide.target.x = 1020, guide.target.y = 1000;
    auto render = [&](const FareGuide* g) {
        WorldViewScene scene = r.scene();
        scene.guide = g, renderWorldView(scene);
        std::vector<uint8_t> frame;
        for (int y = 0; y < RenderHeight; ++y) frame.insert(frame.end(), pixelAddress(*r.target, 0, y), pixelAddress(*r.target, RenderWidth, y));
        return frame;
    };
    for (const int64_t frame : {0, 1}) {
        r.pose(1000, 1000, 0), r.shift.frameCounter = frame;
        const std::vector<uint8_t> plain = render(nullptr);
        guide.inSquare = false;  // nothing for the cab inside its square: the plain picture
        EXPECT_EQ(render(&guide), plain) << frame;
        guide.inSquare = true;
        const std::vector<uint8_t> zone = render(&guide);
        int changed = 0, other = 0, missed = 0;  // missed: marks shown near-white (colour 10 here)
        for (size_t i = 0; i < plain.size(); ++i) {
            changed += zone[i] != plain[i], other += zone[i] != plain[i] && zone[i] != ColourInZone;
            const bool near = r.tables.rowFloorDistance[i / RenderWidth] < 30.0f;  // the cab's square, not the other
            missed += frame == 0 && near && test::decodePixel(plain[i]).colour == 10 && zone[i] != ColourInZone;
        }
        EXPECT_TRUE(changed > 200 && other == 0 && missed == 0) << frame << ": " << changed << " changed, " << other << " other, " << missed << " missed";
    }
    mark(1020, false), mark(1040, false);
}

}  // namespace
}  // namespace hc
