// The newcomer's guide over the cockpit, the minimap, the map view and the world view.
#include "render/fare_guide_view.h"

#include <gtest/gtest.h>

#include <tuple>

#include <cmath>

#include "core/colours.h"
#include "render/map_view.h"
#include "render/minimap.h"
#include "hud_fixture.h"
#include "render_fixture.h"

namespace hc {
namespace {

struct Count { int n = 0; double x = 0, y = 0; };  // pixels of a colour in a rectangle, and their mean place
Count count(const Image& image, uint32_t colour, int x1 = 0, int y1 = 0, int x2 = 639, int y2 = 479) {
    Count c;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) if (getPixel(image, x, y) == colour) c.n += 1, c.x += x, c.y += y;
    return c.n > 0 ? Count{c.n, c.x / c.n, c.y / c.n} : c;
}

struct FareGuideView : testing::Test {  // the cab at (1000, 1000), passenger 1 100 cells along x, 2 at (+30, +30)
    Image& image = *createImage(640, 480);
    test::HudRig rig;  // for its font: glyph g of style s a 10 x 10 square of 1 + 5 g + s
    PlayerCar car;
    Shift shift;
    FareGuide guide;
    FareGuideView() {
        car.x = car.y = 1000, shift.passengerCount = 2, shift.engineRunning = FlagOn;
        shift.passengers[1].pickup.x = 1100, shift.passengers[1].pickup.y = 1000, shift.passengers[2].pickup.x = shift.passengers[2].pickup.y = 1030;
        guide.active = true, guide.target = shift.passengers[1].pickup;
    }
    ~FareGuideView() override { destroyImage(&image); }
};

TEST_F(FareGuideView, CockpitArrowPointsTheWayAndLeavesTheCountFree) {
    for (int degrees = 15; degrees <= 360; degrees += 15) {  // whatever the heading, the count's rows stay free
        fillImage(image, 0), car.heading = 10.0f * (degrees % 360), drawFareGuide(guide, car, rig.font, image);
        EXPECT_EQ(std::tuple(count(image, 0, 0, 0, 639, 11).n, count(image, ColourGold, 280, 12, 360, 70).n > 20, count(image, ColourGold, 0, 100).n + count(image, ColourInZone).n),
                  std::tuple(640 * 12, true, 0)) << degrees;
    }
    // Last, straight ahead: the tip above the centre (320, 36), the wide head under it and a
    // narrow shaft below, nothing beside the shaft that could read as a second point.
    const int tip = count(image, ColourGold, 318, 22, 322, 26).n, head = count(image, ColourGold, 300, 32, 340, 32).n, shaft = count(image, ColourGold, 300, 43, 340, 43).n;
    EXPECT_EQ(std::tuple(tip > 0, head >= 8, shaft >= 2, shaft <= 5, count(image, ColourGold, 300, 39, 316, 52).n), std::tuple(true, true, true, true, 0)) << tip << ' ' << head << ' ' << shaft;
    guide.inSquare = true, fillImage(image, 0), drawFareGuide(guide, car, rig.font, image);  // inside: a ring instead
    EXPECT_EQ(std::tuple(count(image, ColourGold).n, count(image, ColourInZone, 300, 10, 340, 60).n > 40, test::fnv1a(image)), std::tuple(0, true, 14082104560677416277ull)) << "and the golden digest";
}

// Both arrows point as a road sign does: up for ahead, right for the right; a destination ahead is green, behind rose.
TEST_F(FareGuideView, ArrowsPointUpForAheadAndRightForRight) {
    const struct { bool aboard; float dx, dy; double ux, uy; uint32_t colour; uint64_t digest; } cases[] = {  // digest: the whole picture's
        {false, 100, 0, 0, -1, ColourGold, 5191810201939048262ull},     {false, 0, 100, 1, 0, ColourGold, 15312216040530068594ull},
        {false, -100, 0, 0, 1, ColourGold, 209787396690456342ull},      {false, 0, -100, -1, 0, ColourGold, 10466314739549609250ull},
        {true, 100, 0, 0, -1, ColourGreen, 5623050746908266792ull},     {true, 5, 100, 1, 0, ColourGreen, 12711014173189715236ull},
        {true, -5, -100, -1, 0, ColourRose, 13919325801870794498ull},   {true, -100, 0, 0, 1, ColourRose, 7402571516205324316ull},
    };
    car.heading = 0, guide.tooFast = true;  // along +x, so +y lies on the right; "stop here!" under the distance
    for (const auto& c : cases) {
        guide.aboard = c.aboard, guide.target.x = 1000 + c.dx, guide.target.y = 1000 + c.dy;
        fillImage(image, 0), drawFareGuide(guide, car, rig.font, image);
        const double cy = c.aboard ? 30 : 36;  // the arrow's centre: lower and smaller for a waiting passenger
        const Count arrow = count(image, c.colour, 0, 0, 639, 90);
        const double along = (arrow.x - 320) * c.ux + (arrow.y - cy) * c.uy, across = (arrow.x - 320) * c.uy - (arrow.y - cy) * c.ux;
        EXPECT_EQ(std::tuple(arrow.n > 40, along > 1.5, std::fabs(across) < along / 2, test::fnv1a(image)), std::tuple(true, true, true, c.digest))
            << c.aboard << ' ' << c.dx << ',' << c.dy << ": " << arrow.n << ' ' << along << ' ' << across;
    }
}

// A blue arrow with its middle on the cab and its head ahead (the heading's direction on the screen; along +x on the
// minimap, two pixels of blue between near-white rims); a hollow gold diamond, wider than a car, on a waiting square.
TEST_F(FareGuideView, MinimapAndMapViewMarkTheCabAndTheSquares) {
    const MinimapWindow window = minimapWindow(car, 2);
    const double mx = 540 + (1000 - window.x0) / 2.0, my = 392 + (1000 - window.y0) / 2.0, r5 = std::sqrt(5.0);
    ASSERT_EQ(mapViewCell(1000, 1000, 320, 240, 320, 270).y, 1030);  // where the map view shows passenger 2
    const struct { bool map; int heading; double cabX, cabY, squareX, squareY, aheadX, aheadY; uint64_t digests[2]; } views[] = {  // outside, inside
        {false, 0, mx, my, mx + 15, my + 15, 1, 0, {8494968401860121262ull, 10538381572408739774ull}},  {false, 90, mx, my, mx + 15, my + 15, 0, 1, {17829774884649329562ull, 4689494389869446346ull}},
        {true, 0, 320, 240, 320, 270, 2 / r5, 1 / r5, {2012220390209702945ull, 3165706699331723233ull}}, {true, 180, 320, 240, 320, 270, -2 / r5, -1 / r5, {17650910238798004481ull, 14702616625620459713ull}},
    };
    guide.target = shift.passengers[2].pickup, guide.tooFast = true;  // "stop here!" on the map view
    for (const auto& v : views) {
        for (const bool inside : {false, true}) {
            SCOPED_TRACE(testing::Message() << v.map << " " << v.heading << " " << inside);
            fillImage(image, 0), car.heading = 10.0f * v.heading, guide.inSquare = inside;
            v.map ? drawMapGuide(guide, shift, car, rig.font, image) : drawMinimapGuide(guide, shift, car, image);
            const int sx = static_cast<int>(v.squareX), sy = static_cast<int>(v.squareY), colour = inside ? ColourInZone : ColourGold;
            const Count row = count(image, colour, sx - 12, sy, sx + 12, sy), left = count(image, colour, sx - 12, sy, sx - 5, sy);
            EXPECT_EQ(std::tuple(bool(count(image, colour, sx - 12, sy - 12, sx + 12, sy + 12).n > 20), getPixel(image, sx, sy), bool(std::fabs(row.x - sx) <= 1.0), bool(left.n), test::fnv1a(image)),
                      std::tuple(true, 0, true, true, v.digests[inside]));
            double ahead = -1e9, behind = 1e9, sum = 0, n = 0;  // the blue along the heading, from the cab: its middle on the cab
            for (int y = 0; y < 480; ++y) for (int x = 0; x < 640; ++x) if (getPixel(image, x, y) == ColourRoyalBlue) { const double a = (x - v.cabX) * v.aheadX + (y - v.cabY) * v.aheadY; ahead = std::fmax(ahead, a), behind = std::fmin(behind, a), sum += a, n += 1; }
            EXPECT_EQ(std::tuple(n > 12, sum / n > 0.5, std::fabs(ahead + behind) <= 2.0), std::tuple(true, true, true)) << n << ' ' << ahead << ' ' << behind;
            if (!v.map && v.heading == 0) {  // across the shaft, two pixels behind the cab
                std::string slice;
                for (int y = static_cast<int>(my) - 4; y <= static_cast<int>(my) + 4; ++y) {
                    const uint32_t p = getPixel(image, static_cast<int>(mx) - 2, y);
                    slice += p == ColourRoyalBlue ? 'B' : p == ColourNearWhite ? 'w' : p == 0 ? '.' : '?';
                }
                EXPECT_NE(slice.find(".wBBw."), std::string::npos) << slice;
            }
        }
    }
    // A far square's pointer (60 cells along x, 30 back: 60 pixels right, its corners on pixels): out from the cab, longer than wide.
    guide.target.x = 1060, guide.target.y = 970, guide.inSquare = false, car.heading = 900, fillImage(image, 0), drawMapGuide(guide, shift, car, rig.font, image);
    double a0 = 1e9, a1 = -1e9, b0 = 1e9, b1 = -1e9;
    for (int y = 228; y < 258; ++y) for (int x = 325; x < 365; ++x) if (getPixel(image, x, y) == ColourGold) { const double a = x - 320, b = y - 240; a0 = std::fmin(a0, a), a1 = std::fmax(a1, a), b0 = std::fmin(b0, b), b1 = std::fmax(b1, b); }
    EXPECT_EQ(std::tuple(a0 > 15, a1 - a0 > 1.2 * (b1 - b0), test::fnv1a(image)), std::tuple(true, true, 13548681526013717055ull)) << a0 << ' ' << a1 << ' ' << b0 << ' ' << b1;
}

// The way by road dotted in the guide's colour on the minimap (both zooms) and the map view, nothing else but black
// rims; nothing without a way or inside the square.
TEST_F(FareGuideView, RouteDotsShowTheWayInTheGuidesColour) {
    std::vector<int32_t> route;
    for (int x = 1000; x <= 1090; ++x) route.push_back(x * MapSize + 990);
    const struct { bool map, zoom, found, aboard, inside; uint32_t colour; uint64_t digest; } cases[] = {  // digest: the whole picture's
        {false, false, true, false, false, ColourGold, 4298319010186163742ull}, {false, true, true, true, false, ColourGreen, 12250153279498991656ull},
        {true, false, true, false, false, ColourGold, 14768110991134284783ull}, {true, false, true, true, false, ColourGreen, 12088487688550319750ull},
        {false, false, false, false, false, 0, 8494968401860121262ull},         {true, false, true, false, true, 0, 18316423947571140573ull},
    };
    for (const auto& c : cases) {
        shift.minimapZoom = toFlag(c.zoom), guide.aboard = c.aboard, guide.inSquare = c.inside;
        std::vector<uint8_t> plain;
        for (const std::vector<int32_t>* r : {static_cast<decltype(&route)>(nullptr), c.found ? &route : nullptr}) {
            fillImage(image, 0), c.map ? drawMapGuide(guide, shift, car, rig.font, image, r) : drawMinimapGuide(guide, shift, car, image, r);
            if (!r) plain.assign(image.pixels, image.pixels + 640 * 480);
        }
        int dots = 0, wrong = 0;
        for (int i = 0; i < 640 * 480; ++i) if (image.pixels[i] != plain[i] && image.pixels[i] != ColourBlack) (image.pixels[i] == c.colour ? dots : wrong) += 1;
        EXPECT_EQ(std::tuple(c.colour ? dots > 10 : dots == 0, wrong, test::fnv1a(image)), std::tuple(true, 0, c.digest)) << c.map << c.zoom << c.found << c.aboard << c.inside << ": " << dots;
    }
}

// With a guide every mark is steady: a chequer of gold (green for a destination) and black, ColourInZone in the square
// the cab is inside; no guide (classic mode) blinks them near-white.
TEST_F(FareGuideView, WorldViewShowsTheSquaresSteadily) {
    test::RenderRig& r = test::rig();
    r.openGround();
    for (const int x : {1020, 1040})  // the cab's square 20 cells ahead, and one beyond
        for (int i = -4; i <= 4; ++i)
            for (int j = -4; j <= 4; ++j) setCellFlag(cellAt(*r.map, x + i, 1000 + j), PickupMark, true);
    guide.target.x = 1020, guide.target.y = 1000;
    auto render = [&](const FareGuide* g, int64_t frame) {
        r.shift.frameCounter = frame, renderWorldView({*r.map, r.tables, r.player, r.shift, *r.state, *r.target, g});
        return std::vector<uint8_t>(r.target->pixels, r.target->pixels + RenderWidth * RenderHeight);
    };
    // inside: the cab in the near square; zone, mark: the near and the far square's colour
    const struct { bool inside, aboard; uint8_t zone, mark; } cases[] = {
        {false, false, ColourGold, ColourGold}, {true, false, ColourInZone, ColourGold}, {true, true, ColourInZone, ColourGreen},
    };
    for (const auto& c : cases) {
        r.pose(1000, 1000, 0), guide.inSquare = c.inside, guide.aboard = c.aboard;
        const std::vector<uint8_t> blinkOn = render(nullptr, 0), blinkOff = render(nullptr, 1);
        for (const int64_t frame : {0, 1}) {
            const std::vector<uint8_t> shown = render(&guide, frame);
            int near = 0, far = 0, wrong = 0, checks[2] = {0, 0};  // the marks (they blink in classic), by their square
            for (size_t i = 0; i < shown.size(); ++i) {
                const bool mark = blinkOn[i] != blinkOff[i], nearRow = r.tables.rowFloorDistance[i / RenderWidth] < 30.0f;
                const bool inZone = mark && nearRow && c.inside;  // elsewhere a chequer of the mark's colour and black
                (nearRow ? near : far) += mark;
                if (mark && nearRow && !c.inside) checks[shown[i] == c.mark] += 1;
                wrong += mark ? shown[i] != (inZone ? c.zone : c.mark) && (inZone || shown[i] != ColourBlack) : shown[i] != blinkOn[i];
            }
            EXPECT_EQ(std::tuple(near > 200, far > 50, wrong, c.inside || checks[0] > 50, c.inside || checks[1] > 50), std::tuple(true, true, 0, true, true))  // outside: black and gold
                << c.inside << c.aboard << " frame " << frame << ": " << near << ' ' << far << ' ' << checks[0] << ' ' << checks[1];
        }
    }
    r.openGround();
}

}  // namespace
}  // namespace hc
