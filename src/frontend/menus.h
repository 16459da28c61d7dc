#pragma once
#include <string_view>

#include "draw/image.h"

namespace hc {

struct Game;
struct FontSet;

constexpr int MainMenuEntries = 5;
// The main menu's results, which are also its entry numbers.
constexpr int MenuArcade = 1;
constexpr int MenuCareer = 2;
constexpr int MenuOptions = 3;
constexpr int MenuHelp = 4;
constexpr int MenuExit = 5;
// With the assists on the menu also offers a free ride, second from the top, and the
// city of the day, third: an arcade game in the city every player gets that day.
constexpr int MenuFreeRide = 6;
constexpr int MenuCityOfDay = 7;
// ...and the best scores, under career mode.
constexpr int MenuBestScores = 8;

// The text of main menu result 1..8 ("arcade mode" ... "exit", "free ride", "city of the
// day", "best scores"); empty outside.
std::string_view mainMenuText(int entry);

// The result of the menu's row 1.., top to bottom: rows 1..5 are results 1..5, but with
// the assists on row 2 is the free ride, row 3 the city of the day, row 4 career mode,
// row 5 the best scores and the last three rows options, "read this!" and exit. 0 past
// the end.
int mainMenuRow(bool assists, int row);

// Shows the main menu until an entry is chosen and returns its result: up and down
// step through the entries (wrapping round), select chooses, the exit key chooses
// "exit". The chosen entry blinks, two frames shown and two hidden. A window being
// closed returns "exit" at once (the caller sees keys.quit).
int runMainMenu(Game& game);

// Draws a full-screen picture scaled to the target: every second source pixel on a
// 320-pixel-wide target, each source pixel twice above 1280 pixels, else 1:1. A
// negative x centres the picture horizontally, a negative y vertically. Colour 0 is
// transparent; an absent image draws nothing; what falls outside the target is cut off.
void drawImageScaled(Image& target, const Image* image, int x, int y);

// The patterned band across rows 7 to 22 with a gap in the middle for the title,
// which is printed centred in the bold style.
void drawTitleBar(const FontSet& font, Image& target, std::string_view text);

// Whether an entry that blinks is drawn on this frame: two frames shown, two hidden.
inline bool blinkShows(long long frameCounter) {
    const long long phase = frameCounter % 4;
    return phase != 2 && phase != 3 && phase != -2 && phase != -3;
}

// Keeps an animated menu frame from being shorter than a sixtieth of a second, so
// that the blinking stays visible and the menus do not spin the processor on displays
// without a refresh limit. lastFrame holds clock seconds, 0 before the first frame.
void paceMenuFrame(double& lastFrame);

}  // namespace hc
