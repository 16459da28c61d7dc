#include "render/fare_guide_view.h"

#include <cmath>
#include <string>

#include "core/colours.h"
#include "render/hud.h"
#include "render/minimap.h"
#include "city/city_map.h"
#include "render/view_rounding.h"

namespace hc {

namespace {

// A rectangle the marks stay inside (inclusive corners).
struct Clip {
    int x1, y1, x2, y2;
};

void plotIn(Image& target, const Clip& clip, int x, int y, uint32_t colour) {
    if (x >= clip.x1 && x <= clip.x2 && y >= clip.y1 && y <= clip.y2) plotPixel(target, x, y, colour);
}

void lineIn(Image& target, const Clip& clip, double x1, double y1, double x2, double y2, uint32_t colour) {
    const double steps = std::ceil(std::fmax(std::fabs(x2 - x1), std::fabs(y2 - y1)));
    if (!(steps < 4096.0)) return;  // far off (or undefined): nothing of it shows
    for (int i = 0; i <= static_cast<int>(steps); ++i) {
        const double t = steps > 0 ? i / steps : 0.0;
        plotIn(target, clip, roundAny(x1 + t * (x2 - x1)), roundAny(y1 + t * (y2 - y1)), colour);
    }
}

// A hollow diamond of radius r round (x, y): three pixels of colour between black rims,
// so that it reads on light and dark ground alike and never as a solid car.
void drawDiamond(Image& target, const Clip& clip, int x, int y, int r, uint32_t colour) {
    for (int d = r - 3; d <= r + 1; ++d) {
        const uint32_t c = (d == r - 3 || d == r + 1) ? ColourBlack : colour;
        for (int i = -d; i <= d; ++i) {
            const int h = d - std::abs(i);
            plotIn(target, clip, x + i, y - h, c);
            plotIn(target, clip, x + i, y + h, c);
        }
    }
}

// The cab: a shaft `length` long with its middle on the cab's position, and two barbs
// at the tip; two pixels thick in royal blue within a near-white rim, so that the dark
// blue reads on the dark minimap and map alike. The middle, not the tail, is the cab, so
// that a wall across the tip's path still lies ahead of the cab. (ux, uy) is the heading
// on the screen, of length 1.
void drawCabArrow(Image& target, const Clip& clip, double x, double y, double ux, double uy, double length) {
    const double tipX = x + 0.5 * length * ux, tipY = y + 0.5 * length * uy;
    const double tailX = x - 0.5 * length * ux, tailY = y - 0.5 * length * uy;
    const double back = 0.5 * length, side = 0.35 * length;
    const double lines[3][4] = {{tailX, tailY, tipX, tipY},
                                {tipX, tipY, tipX - back * ux + side * uy, tipY - back * uy - side * ux},
                                {tipX, tipY, tipX - back * ux - side * uy, tipY - back * uy + side * ux}};
    for (int pass = 0; pass < 2; ++pass) {
        const int from = pass == 0 ? -1 : 0, to = pass == 0 ? 2 : 1;
        for (const auto& l : lines)
            for (int ox = from; ox <= to; ++ox)
                for (int oy = from; oy <= to; ++oy)
                    lineIn(target, clip, l[0] + ox, l[1] + oy, l[2] + ox, l[3] + oy, pass == 0 ? ColourNearWhite : ColourRoyalBlue);
    }
}

// Every square that can count now, with its colour: the destination while somebody is
// aboard, else the waiting passengers' squares; the one the cab is inside in
// ColourInZone.
template <typename Draw>
void forEachSquare(const FareGuide& guide, const Shift& shift, Draw draw) {
    auto colourOf = [&guide](const Body& spot, uint32_t colour) {
        const bool zone = guide.inSquare && spot.x == guide.target.x && spot.y == guide.target.y;
        return zone ? uint32_t{ColourInZone} : colour;
    };
    const int aboard = shift.passengerAboard;
    if (aboard >= 1 && aboard <= PassengerSlots) {
        const Body& spot = shift.passengers[aboard].destination;
        draw(spot, colourOf(spot, ColourGreen));
        return;
    }
    const int count = shift.passengerCount < PassengerSlots ? shift.passengerCount : PassengerSlots;
    for (int k = 1; k <= count; ++k) {
        const Passenger& passenger = shift.passengers[k];
        if (!isOn(passenger.delivered)) draw(passenger.pickup, colourOf(passenger.pickup, ColourGold));
    }
}

// The way by road, dotted: a square dot of `size` pixels on every `every`th cell counted
// from the square's end (so that the dots stand still while the cab drives along them),
// in the guide's colour, within a black rim a pixel wide when `rim` is set (the map
// view's lane lines are yellow too), and none while the cab is inside the square.
// `place` gives a cell's place on the screen.
template <typename Place>
void drawRoute(Image& target, const Clip& clip, const FareGuide& guide, const std::vector<int32_t>* route, int every,
               int size, bool rim, Place place) {
    if (route == nullptr || route->empty() || !guide.active || guide.inSquare) return;
    const uint32_t colour = guide.aboard ? ColourGreen : ColourGold;
    const size_t n = route->size();
    for (int pass = rim ? 0 : 1; pass < 2; ++pass) {
        const int grow = pass == 0 ? 1 : 0;  // the rims first, so that no rim covers a dot
        for (size_t k = (n - 1) % every; k < n; k += every) {
            const int32_t cell = (*route)[k];
            double px, py;
            place(cell / MapSize + 0.5, cell % MapSize + 0.5, px, py);
            const int x = static_cast<int>(std::floor(px - (size - 1) / 2.0)), y = static_cast<int>(std::floor(py - (size - 1) / 2.0));
            for (int i = -grow; i < size + grow; ++i)
                for (int j = -grow; j < size + grow; ++j) plotIn(target, clip, x + i, y + j, pass == 0 ? ColourBlack : colour);
        }
    }
}

// The guide's distance: 0 only inside the square.
std::string distanceText(const FareGuide& guide) {
    return std::to_string(guide.distance);
}

// Every pixel of the target whose centre lies inside the triangle (a, b, c), either
// winding; nothing for a corner that is not a finite number.
void fillTriangle(Image& target, double ax, double ay, double bx, double by, double cx, double cy, uint32_t colour) {
    if (!std::isfinite(ax + ay + bx + by + cx + cy)) return;
    const int x0 = static_cast<int>(std::fmax(0.0, std::floor(std::fmin(ax, std::fmin(bx, cx)))));
    const int x1 = static_cast<int>(std::fmin(target.width - 1.0, std::ceil(std::fmax(ax, std::fmax(bx, cx)))));
    const int y0 = static_cast<int>(std::fmax(0.0, std::floor(std::fmin(ay, std::fmin(by, cy)))));
    const int y1 = static_cast<int>(std::fmin(target.height - 1.0, std::ceil(std::fmax(ay, std::fmax(by, cy)))));
    auto side = [](double px, double py, double qx, double qy, double x, double y) {
        return (qx - px) * (y - py) - (qy - py) * (x - px);
    };
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double e1 = side(ax, ay, bx, by, x, y), e2 = side(bx, by, cx, cy, x, y), e3 = side(cx, cy, ax, ay, x, y);
            if ((e1 >= 0 && e2 >= 0 && e3 >= 0) || (e1 <= 0 && e2 <= 0 && e3 <= 0)) plotPixel(target, x, y, colour);
        }
    }
}

// The guide's arrow at the top of the cockpit, pointing the way (ahead is up the screen,
// behind down, left and right as they are): a solid head and a shaft behind it, outlined in black
// so that it stands out on the sky and on walls. A notched dart's swept-back barbs were
// read as its point at a glance; a head on a shaft is the shape every road sign uses.
// It spans from its tip, at least 70% of `length` out, to 70% of that behind the centre,
// the same shape whichever way it points.
void drawGuideArrow(Image& target, int cx, int cy, const DestinationArrow& dart, int length, uint32_t colour) {
    // The cockpit's dart lies flat like a compass seen from the far side, ahead pointing
    // down; the guide's stands up the way a road sign does, so its height is turned over.
    double ux = dart.tipX - cx, uy = cy - dart.tipY;
    const double reach = std::sqrt(ux * ux + uy * uy);
    if (!(reach > 0) || !std::isfinite(reach)) return;
    ux /= reach, uy /= reach;
    const double r = std::fmax(reach, 0.7 * length);
    const double tipX = cx + r * ux, tipY = cy + r * uy;
    const double baseX = cx - 0.05 * r * ux, baseY = cy - 0.05 * r * uy;  // the head's back edge
    const double head = 0.5 * r, shaft = std::fmax(1.5, 0.14 * r);       // half widths
    const double tailX = cx - 0.7 * r * ux, tailY = cy - 0.7 * r * uy;
    // Corners, each side of the axis: the head's two, then the shaft's four.
    const double h1x = baseX + head * uy, h1y = baseY - head * ux, h2x = baseX - head * uy, h2y = baseY + head * ux;
    const double s1x = baseX + shaft * uy, s1y = baseY - shaft * ux, s2x = baseX - shaft * uy, s2y = baseY + shaft * ux;
    const double t1x = tailX + shaft * uy, t1y = tailY - shaft * ux, t2x = tailX - shaft * uy, t2y = tailY + shaft * ux;
    const double outline[][4] = {{tipX, tipY, h1x, h1y}, {h1x, h1y, s1x, s1y}, {s1x, s1y, t1x, t1y}, {t1x, t1y, t2x, t2y},
                                 {t2x, t2y, s2x, s2y},   {s2x, s2y, h2x, h2y}, {h2x, h2y, tipX, tipY}};
    const Clip screen{0, 0, target.width - 1, target.height - 1};
    for (const auto& l : outline)
        for (int o = -1; o <= 1; ++o) {
            lineIn(target, screen, l[0] + o, l[1], l[2] + o, l[3], ColourBlack);
            lineIn(target, screen, l[0], l[1] + o, l[2], l[3] + o, ColourBlack);
        }
    fillTriangle(target, tipX, tipY, h1x, h1y, h2x, h2y, colour);
    fillTriangle(target, s1x, s1y, t1x, t1y, t2x, t2y, colour);
    fillTriangle(target, s1x, s1y, t2x, t2y, s2x, s2y, colour);
}

}  // namespace

void drawFareGuide(const FareGuide& guide, const PlayerCar& player, const FontSet& font, Image& target) {
    if (!guide.active) return;
    // The cockpit's destination arrow's place; a waiting passenger's arrow sits lower
    // and smaller, under the delivered count.
    const int top = roundAny(target.height / 16.0);
    const bool small = !guide.aboard || guide.inSquare;
    const int cx = roundAny(target.width / 2.0), cy = small ? top + 6 : top;
    const int length = small ? top - 8 : top;
    const Clip screen{0, 0, target.width - 1, target.height - 1};
    if (guide.inSquare) {
        drawDiamond(target, screen, cx, cy, length - 6, ColourInZone);
        drawDiamond(target, screen, cx, cy, length - 12, ColourInZone);
    } else {
        const DestinationArrow dart = destinationArrow(player, guide.target, cx, cy, length);
        drawGuideArrow(target, cx, cy, dart, length, guide.aboard ? static_cast<uint32_t>(dart.colour) : ColourGold);
    }
    const int textY = roundAny(top * 1.8) + 4;
    // A destination's distance in the cockpit's own place and size, which the cockpit
    // leaves to the guide; a waiting passenger's smaller, under the arrow.
    if (guide.aboard) printText(font, target, -1, roundAny(top * 1.8), distanceText(guide), 2);
    else printText(font, target, -1, textY, distanceText(guide), 1);
    if (guide.tooFast) printText(font, target, -1, textY + 16, "stop here!", 1);
}

void drawMinimapGuide(const FareGuide& guide, const Shift& shift, const PlayerCar& player, Image& target,
                      const std::vector<int32_t>* route) {
    if (!isOn(shift.engineRunning)) return;  // the screen shows "systems off"
    const int sx0 = target.width - 100, sy0 = target.height - 88;
    const Clip panel{sx0, sy0, sx0 + MinimapColumns - 1, sy0 + MinimapRows - 1};
    const int z = minimapZoom(shift);
    const MinimapWindow window = minimapWindow(player, z);
    auto onPanel = [&](double cellX, double cellY, double& px, double& py) {
        px = sx0 + (cellX - window.x0) / z;
        py = sy0 + (cellY - window.y0) / z;
    };
    drawRoute(target, panel, guide, route, 4 * z, 2, false, onPanel);
    const int radius = z == 2 ? 7 : 6;
    forEachSquare(guide, shift, [&](const Body& spot, uint32_t colour) {
        double px, py;
        onPanel(spot.x, spot.y, px, py);
        if (std::fabs(px - (panel.x1 + panel.x2) / 2.0) > 60 || std::fabs(py - (panel.y1 + panel.y2) / 2.0) > 50) return;
        drawDiamond(target, panel, roundAny(px), roundAny(py), radius, colour);
    });
    double px, py;
    onPanel(player.x, player.y, px, py);
    const double a = headingRadians(player);
    drawCabArrow(target, panel, px, py, std::cos(a), std::sin(a), 9.0);
}

void drawMapGuide(const FareGuide& guide, const Shift& shift, const PlayerCar& player, const FontSet& font,
                  Image& target, const std::vector<int32_t>* route) {
    const int cx = roundAny(target.width / 2.0), cy = roundAny(target.height / 2.0);
    const Clip screen{0, 0, target.width - 1, target.height - 1};
    // Where a cell offset (ox, oy) from the cab's cell shows: the inverse of the map
    // view's projection, (2 (ox - oy) / 3, (ox + 2 oy) / 3) from the centre.
    auto onScreen = [&](double ox, double oy, double& sx, double& sy) {
        sx = 2.0 * (ox - oy) / 3.0;
        sy = (ox + 2.0 * oy) / 3.0;
    };
    const double cabX = std::nearbyint(player.x), cabY = std::nearbyint(player.y);
    drawRoute(target, screen, guide, route, 10, 3, true, [&](double x, double y, double& sx, double& sy) {
        onScreen(x - 0.5 - cabX, y - 0.5 - cabY, sx, sy);
        sx += cx, sy += cy;
    });
    forEachSquare(guide, shift, [&](const Body& spot, uint32_t colour) {
        double sx, sy;
        onScreen(std::floor(spot.x) - cabX, std::floor(spot.y) - cabY, sx, sy);
        if (std::fabs(sx) > target.width || std::fabs(sy) > target.height) return;
        drawDiamond(target, screen, roundAny(cx + sx), roundAny(cy + sy), 12, colour);
    });

    if (guide.active) {
        double sx, sy;
        onScreen(std::floor(guide.target.x) - cabX, std::floor(guide.target.y) - cabY, sx, sy);
        const double length = std::sqrt(sx * sx + sy * sy);
        if (length > 40.0) {
            // A pointer a little way out from the cab towards the square, longer than it
            // is wide so that it reads as pointing.
            const uint32_t colour = guide.aboard ? ColourGreen : ColourGold;
            const double ux = sx / length, uy = sy / length, baseX = cx + 21 * ux, baseY = cy + 21 * uy;
            fillTriangle(target, cx + 34 * ux, cy + 34 * uy, baseX - 5 * uy, baseY + 5 * ux, baseX + 5 * uy, baseY - 5 * ux,
                         colour);
        }
    }
    // The cab's heading through the same projection, so that the arrow points where the
    // cab will move on the screen.
    double hx, hy;
    const double a = headingRadians(player);
    onScreen(std::cos(a), std::sin(a), hx, hy);
    const double h = std::sqrt(hx * hx + hy * hy);
    if (h > 0) drawCabArrow(target, screen, cx, cy, hx / h, hy / h, 24.0);

    if (!guide.active) return;
    const int textY = roundAny(target.height / 16.0 * 1.8);
    printText(font, target, -1, textY, distanceText(guide), 1);
    if (guide.tooFast) printText(font, target, -1, textY + 16, "stop here!", 1);
}

}  // namespace hc
