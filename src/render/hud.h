#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "assets/font.h"
#include "assets/game_state.h"
#include "core/body.h"
#include "core/records.h"
#include "draw/image.h"

namespace hc {

// What one pass of the cockpit overlay reads, and the image it draws into. The pass
// writes only the shift's speech timer (it counts the shown line down by frameDelta).
struct HudScene {
    Shift& shift;
    const PlayerCar& player;
    const GameState& state;
    const FontSet& font;
    Image& target;
    double frameDelta;
};

// The whole overlay over the world view: windshield (crack, drops, blade), cockpit and
// instruments, the passenger's portrait, the destination arrow or the delivered count,
// and the speech bubble.
void drawHud(const HudScene& scene);

// Seven-segment read-outs: a 6 x 9 cell per character, bit k of the mask lights stroke
// k (0 upper left, 1 top, 2 upper right, 3 lower right, 4 bottom, 5 lower left, 6
// middle). Characters the display cannot show light the middle stroke only; ':' lights
// two dots and has no mask.
uint8_t lcdSegmentMask(char c);
void drawLcdChar(Image& target, int x, int y, char c, int colour);
// One character every 7 pixels, the first at x.
void drawLcdText(Image& target, int x, int y, std::string_view text, int colour);

// Puts "0" in front of text until it is n characters long; longer text is unchanged.
std::string zeroPad(std::string text, int n);

// The instrument texts, as the overlay draws them.
std::string clockText(int64_t minutesLeft, double secondsLeft);
std::string turboText(float turboBoost);
// Speed read-out value: floor(speed * 200), 0 with the engine off or in reverse.
int speedValue(float bodySpeed, bool engineRunning, bool reverseGear);
std::string speedText(float bodySpeed, bool engineRunning, bool reverseGear);
// Angle of the speed needle in radians for a read-out value: three quarters of a turn
// clockwise from the lower left (0) to the lower right (270).
double needleAngle(int speed);

// Where the destination arrow points: its tip, its two barbs and its colour (green for
// a destination ahead, rose for one behind), around the centre (cx, cy).
struct DestinationArrow {
    float tipX, tipY;
    float barb1X, barb1Y;
    float barb2X, barb2Y;
    int colour;
};
DestinationArrow destinationArrow(const PlayerCar& player, const Body& destination, int cx, int cy,
                                  int length);

// The distance the cockpit prints under the arrow: 0.15 of the straight line in cells,
// rounded down.
int64_t shownDistance(const PlayerCar& player, const Body& destination);

// A white speech bubble with a tail at its lower left, holding one line of text, or two
// when the line is wider than the target (then broken in the middle with a "-").
// x = -1 centres the bubble on the target. Draws nothing outside the target.
void drawSpeechBubble(const FontSet& font, Image& target, int x, int y, std::string_view text);

// The two lines a speech bubble shows for a text on a target of the given width.
struct SpeechLines {
    std::string first;
    std::string second;  // empty for a one-line bubble
};
SpeechLines splitSpeech(std::string_view text, int targetWidth);

}  // namespace hc
