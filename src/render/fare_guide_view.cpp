#include "render/fare_guide_view.h"

#include <cmath>
#include <string>

#include "core/colours.h"
#include "render/hud.h"
#include "render/view_rounding.h"

namespace hc {

namespace {

// The dart centre - barb - tip - barb, filled by lines from the tip to points along the
// barbs' edges, and outlined in black so that it stands out on the sky and the map.
void fillDart(Image& target, int cx, int cy, const DestinationArrow& arrow, uint32_t colour) {
    const int tx = roundAny(arrow.tipX), ty = roundAny(arrow.tipY);
    const float barbs[2][2] = {{arrow.barb1X, arrow.barb1Y}, {arrow.barb2X, arrow.barb2Y}};
    for (const auto& barb : barbs) {
        for (int i = 0; i <= 24; ++i) {
            const float t = i / 24.0f;
            const int px = roundAny(barb[0] + t * (cx - barb[0])), py = roundAny(barb[1] + t * (cy - barb[1]));
            drawLine(target, tx, ty, px, py, colour);
        }
        const int bx = roundAny(barb[0]), by = roundAny(barb[1]);
        drawLine(target, tx, ty, bx, by, ColourBlack);
        drawLine(target, cx, cy, bx, by, ColourBlack);
    }
}

// The distance the cockpit shows for a destination, for any square.
std::string distanceText(const FareGuide& guide, const PlayerCar& player) {
    const double dx = static_cast<double>(guide.target.x) - player.x;
    const double dy = static_cast<double>(guide.target.y) - player.y;
    return std::to_string(static_cast<long long>(std::floor(0.15 * std::sqrt(dx * dx + dy * dy))));
}

}  // namespace

void drawFareGuide(const FareGuide& guide, const PlayerCar& player, const FontSet& font, Image& target) {
    if (!guide.active) return;
    // The destination arrow's place, shape and colours; gold for a passenger waiting.
    const int cx = roundAny(target.width / 2.0), cy = roundAny(target.height / 16.0);
    const DestinationArrow arrow = destinationArrow(player, guide.target, cx, cy, cy);
    fillDart(target, cx, cy, arrow, guide.aboard ? static_cast<uint32_t>(arrow.colour) : ColourGold);
    const int textY = roundAny(cy * 1.8);
    // The cockpit's own distance shows under a destination already.
    if (!guide.aboard) printText(font, target, -1, textY, distanceText(guide, player), 1);
    if (guide.tooFast) printText(font, target, -1, textY + 16, "stop here!", 1);
}

void drawMapGuide(const FareGuide& guide, const PlayerCar& player, const FontSet& font, Image& target) {
    const int cx = roundAny(target.width / 2.0), cy = roundAny(target.height / 2.0);
    // A ring round the cab, so that it is found at a glance.
    for (int step = 0; step < 96; ++step) {
        const double a = step * 6.283185 / 96;
        for (int r = 10; r <= 12; ++r) {
            plotPixel(target, roundAny(cx + r * std::cos(a)), roundAny(cy + r * std::sin(a)),
                      r == 11 ? ColourGold : ColourBlack);
        }
    }
    if (!guide.active) return;

    // Where the square's centre lies on the screen: the inverse of the map view's
    // projection (a cell offset (ox, oy) shows at (2 (ox - oy) / 3, (ox + 2 oy) / 3)).
    const double ox = std::floor(guide.target.x) - std::nearbyint(player.x);
    const double oy = std::floor(guide.target.y) - std::nearbyint(player.y);
    const double sx = 2.0 * (ox - oy) / 3.0, sy = (ox + 2.0 * oy) / 3.0;
    const uint32_t colour = guide.aboard ? ColourGreen : ColourGold;
    const double length = std::sqrt(sx * sx + sy * sy);
    if (length > 14.0) {
        // A pointer on the ring towards the square.
        const double ux = sx / length, uy = sy / length;
        const int tipX = roundAny(cx + 22 * ux), tipY = roundAny(cy + 22 * uy);
        for (int side = -5; side <= 5; ++side) {
            drawLine(target, tipX, tipY, roundAny(cx + 13 * ux - side * uy), roundAny(cy + 13 * uy + side * ux),
                     colour);
        }
    }
    const int qx = roundAny(cx + sx), qy = roundAny(cy + sy);
    drawBox(target, qx - 9, qy - 9, qx + 9, qy + 9, ColourBlack);
    drawBox(target, qx - 8, qy - 8, qx + 8, qy + 8, colour);
    drawBox(target, qx - 7, qy - 7, qx + 7, qy + 7, colour);

    const int textY = roundAny(target.height / 16.0 * 1.8);
    printText(font, target, -1, textY, distanceText(guide, player), 1);
    if (guide.tooFast) printText(font, target, -1, textY + 16, "stop here!", 1);
}

}  // namespace hc
