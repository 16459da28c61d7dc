// The overlay drawn from inside the cab over the world view: windshield, cockpit and
// instruments, the passenger, the destination arrow and the speech bubble.
#include <algorithm>
#include <cmath>
#include <string>

#include "render/hud.h"

#include "core/colours.h"
#include "render/view_rounding.h"

namespace hc {

namespace {

// Transparent blit with a fast path for the 1-byte images the game uses: the cockpit
// is 115,200 pixels and is drawn every frame.
void blitTransparent(const Image* source, Image& target, int x, int y) {
    if (!source) return;
    if (source->bytesPerPixel != 1 || target.bytesPerPixel != 1) {
        blitImage(*source, target, x, y, true);
        return;
    }
    // Clip in 64 bits (a drop may be thrown anywhere) before forming any address, so
    // that no pointer is made to the left of a row or above the picture.
    const int64_t x0 = std::max<int64_t>(0, -int64_t{x}), y0 = std::max<int64_t>(0, -int64_t{y});
    const int64_t x1 = std::min<int64_t>(source->width, int64_t{target.width} - x);
    const int64_t y1 = std::min<int64_t>(source->height, int64_t{target.height} - y);
    if (x0 >= x1) return;
    for (int64_t sy = y0; sy < y1; ++sy) {
        const uint8_t* from = pixelAddress(*source, static_cast<int>(x0), static_cast<int>(sy));
        uint8_t* to = pixelAddress(target, static_cast<int>(x + x0), static_cast<int>(y + sy));
        for (int64_t n = 0; n < x1 - x0; ++n) {
            if (from[n] != 0) to[n] = from[n];
        }
    }
}

void drawCrack(Image& target, const Shift& shift) {
    const int W = target.width, H = target.height;
    const double x0 = roundAny(W / 2.0 - 48.0);
    const int base = H - shift.dashboardHeight;
    const int n = roundAny(base * static_cast<double>(shift.damage[1]));
    for (int i = 0; i <= n; ++i) {
        const double y = base - i;
        const double x = x0 + std::abs(16 - i % 32) + 0.25 * i;
        const int row = roundAny(y);
        plotPixel(target, roundAny(x), row, ColourNearWhite);
        plotPixel(target, roundAny(x + 1), row, ColourBlack);
        if (i > shift.dashboardHeight) {
            // Above the middle of the glass a branch runs off up and to the left.
            const double x2 = x - (i - shift.dashboardHeight);
            plotPixel(target, roundAny(x2), row, ColourNearWhite);
            plotPixel(target, roundAny(x2 + 1), row, ColourBlack);
        }
    }
}

void drawWiperBlade(Image& target, const Shift& shift) {
    const double px = target.width / 2.0;
    const double py = target.height - shift.dashboardHeight;
    const double length = roundAny(0.6 * target.width);
    const double tipX = px + length * std::cos(shift.wiperAngle);
    const double tipY = py + length * std::sin(shift.wiperAngle);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            drawLine(target, roundAny(px + dx), roundAny(py + dy), roundAny(tipX + dx), roundAny(tipY + dy), ColourBlack);
        }
    }
}

void drawWindshield(Image& target, const Shift& shift, const GameState& state) {
    drawCrack(target, shift);
    for (int k = 1; k <= RaindropSlots; ++k) {
        const Raindrop& drop = shift.raindrops[k];
        if (!isOn(drop.active)) continue;
        blitTransparent(state.hudIcon, target, roundAny(drop.body.x - 3.0), roundAny(drop.body.y - 3.0));
    }
    drawWiperBlade(target, shift);
}

void drawSpeedNeedle(Image& target, int speed) {
    const int H = target.height;
    const double a = needleAngle(speed);
    const double c = std::cos(a), s = std::sin(a);
    const double cx = 233, cy = H - 39;
    for (int dx = 0; dx <= 1; ++dx) {
        for (int dy = 0; dy <= 1; ++dy) {
            drawLine(target, roundAny(cx + 34 * c + dx), roundAny(cy + 34 * s + dy), roundAny(cx - 6 * c + dx),
                     roundAny(cy - 6 * s + dy), ColourDarkRed);
        }
    }
}

void drawInstruments(const HudScene& scene) {
    Image& target = scene.target;
    const Shift& shift = scene.shift;
    const int H = target.height;
    const bool running = isOn(shift.engineRunning);

    if (shift.damage[1] > 0.5f) blitTransparent(scene.state.heavyDamageOverlay, target, 80, 0);
    blitTransparent(scene.state.cockpitImage, target, 0, H - 180);

    // The knob rides on the top of a wheel of radius 210 centred below the screen.
    const double t = scene.player.turnRate;
    fillCircle(target, roundAny(293 + 210 * std::sin(0.4 * t)), roundAny(H + 90 - 210 * std::cos(0.4 * t)), 3, ColourDarkRed);

    if (running) {
        drawLcdText(target, 578, H - 166, zeroPad(std::to_string(shift.pendingFare), 4), ColourDarkRed);
        drawLcdText(target, 578, H - 154, zeroPad(std::to_string(shift.score), 4), ColourDarkRed);
        fillBox(target, 284, H - 73, 295, H - 60, ColourBlack);  // engine lamp off
    }
    if (shift.engineHeat < 4.0f) fillBox(target, 297, H - 73, 308, H - 60, ColourBlack);  // heat lamp off
    if (running) drawLcdText(target, 21, H - 144, turboText(shift.turboBoost), ColourBlue);

    // A free ride has no clock to show.
    if (!isOn(shift.freeRide)) drawLcdText(target, 278, H - 89, clockText(shift.minutesLeft, shift.secondsLeft), ColourPurple);

    const float speed = bodySpeed(scene.player);
    const bool reverse = isOn(shift.reverseGear);
    const std::string speedDigits = speedText(speed, running, reverse);
    drawLcdText(target, 287, H - 17, speedDigits, ColourBlack);
    drawLcdText(target, 288, H - 18, speedDigits, ColourCrimson);
    drawSpeedNeedle(target, speedValue(speed, running, reverse));
}

void drawDestination(const HudScene& scene) {
    Image& target = scene.target;
    const Shift& shift = scene.shift;
    const int cx = roundAny(target.width / 2.0), cy = roundAny(target.height / 16.0);
    const int aboard = shift.passengerAboard;
    if (aboard < 1 || aboard > PassengerSlots) {
        const std::string count = std::to_string(shift.deliveredCount) + "/" + std::to_string(shift.passengerCount);
        printText(scene.font, target, -1, 0, count, 1);
        return;
    }
    const Passenger& passenger = shift.passengers[aboard];
    const DestinationArrow arrow = destinationArrow(scene.player, passenger.destination, cx, cy, cy);
    const auto colour = static_cast<uint32_t>(arrow.colour);
    const int tx = roundAny(arrow.tipX), ty = roundAny(arrow.tipY);
    const int b1x = roundAny(arrow.barb1X), b1y = roundAny(arrow.barb1Y);
    const int b2x = roundAny(arrow.barb2X), b2y = roundAny(arrow.barb2Y);
    // With the assists on, the fare guide draws its own filled arrow here instead.
    if (!isOn(shift.assists)) {
        drawLine(target, cx, cy, b1x, b1y, colour);
        drawLine(target, cx, cy, b2x, b2y, colour);
        drawLine(target, tx, ty, b1x, b1y, colour);
        drawLine(target, tx, ty, b2x, b2y, colour);
    }

    // The guide's distance, which reads 0 only inside the square, takes this one's place.
    if (isOn(shift.assists)) return;
    const int64_t distance = shownDistance(scene.player, passenger.destination);
    printText(scene.font, target, -1, roundAny(cy * 1.8), std::to_string(distance), 2);
}

}  // namespace

int64_t shownDistance(const PlayerCar& player, const Body& destination) {
    const double dx = static_cast<double>(destination.x) - player.x;
    const double dy = static_cast<double>(destination.y) - player.y;
    return static_cast<int64_t>(std::floor(fareUnits(dx, dy)));
}

DestinationArrow destinationArrow(const PlayerCar& player, const Body& destination, int cx, int cy, int length) {
    const double dx = static_cast<double>(destination.x) - player.x;
    const double dy = static_cast<double>(destination.y) - player.y;
    const double a = std::atan2(dy, dx) - headingRadians(player) - 1.570795;
    // A flat dart squashed to half height: ahead is down the screen, behind is up.
    auto point = [&](double angle, float& px, float& py) {
        px = static_cast<float>(cx + length * std::cos(angle));
        py = static_cast<float>(cy - 0.5 * length * std::sin(angle));
    };
    DestinationArrow arrow{};
    point(a, arrow.tipX, arrow.tipY);
    point(a - 2.0, arrow.barb1X, arrow.barb1Y);
    point(a + 2.0, arrow.barb2X, arrow.barb2Y);
    arrow.colour = arrow.tipY > static_cast<float>(cy) ? static_cast<int>(ColourGreen) : static_cast<int>(ColourRose);
    return arrow;
}

void drawHud(const HudScene& scene) {
    Image& target = scene.target;
    Shift& shift = scene.shift;

    if (!isOn(shift.lowDetail)) drawWindshield(target, shift, scene.state);
    drawInstruments(scene);

    const int aboard = shift.passengerAboard;
    if (aboard >= 1 && aboard <= PassengerSlots) {
        const int portrait = shift.passengers[aboard].portrait;
        if (portrait >= 1 && portrait <= PortraitCount && scene.state.passengerPortraits[portrait]) {
            blitImage(*scene.state.passengerPortraits[portrait], target, 0, target.height - 64, false);
        }
    }

    drawDestination(scene);

    if (shift.speechTimer > 0) {
        drawSpeechBubble(scene.font, target, -1, roundAny(target.height / 2.0), shift.speechText);
        shift.speechTimer -= scene.frameDelta;
    }
}

}  // namespace hc
