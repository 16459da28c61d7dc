#pragma once
// Reads the game's own screenshots the way a player reads the screen: where the cab
// is on the map view, which way it points, where the pick-up squares are, which
// streets are open, and where the destination arrow of the cockpit points. The fare
// driver steers the real game with these readings; nothing here knows the city.
#include <cstdint>
#include <string>
#include <vector>

#include "assets/colour_tables.h"
#include "frontend/font.h"

namespace hc::driver {

constexpr int ShotWidth = 640;
constexpr int ShotHeight = 480;
// The map view leaves its bottom 8 rows black.
constexpr int MapRows = ShotHeight - 8;
constexpr int MapCentreX = 320;
constexpr int MapCentreY = 240;

// One screenshot as palette indices, row 0 at the top.
struct Shot {
    std::vector<uint8_t> pixels;
    uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * ShotWidth + x]; }
};

// Reads an 8-bit 640 x 480 BMP as the game writes it. False for anything else.
bool readShot(const std::string& path, Shot& shot);

// The colours a street cell can show on the map view: the ground, the edge lines and
// the centre dashes, each at every light level.
struct StreetColours {
    bool street[256] = {};
    // The colours of an open cell by (x mod 128, y mod 128): one for the markings,
    // three for plain ground (its base colour is random).
    uint8_t open[128][128][3] = {};
    uint8_t openCount[128][128] = {};
};
void initStreetColours(StreetColours& colours, const uint8_t shadeTable[256][ShadeLevels]);

// The colours an open cell at (x, y) can show (up to three), from the city's markings
// and lighting, which repeat every 128 cells. Returns how many were written.
int openCellColours(const StreetColours& colours, int x, int y, uint8_t out[3]);

// The cab's cell found by matching the street markings and lighting of a map-view shot
// against every candidate within `radius` cells of the guess. score counts agreeing
// street pixels minus disagreeing ones, out of `samples` street pixels.
struct CabFix {
    int x = 0, y = 0;
    int score = 0;
    int samples = 0;
};
CabFix locateCab(const StreetColours& colours, const Shot& shot, int guessX, int guessY, int radius);

// The cab's heading (radians, the game's convention: 0 along +x, growing clockwise on
// the grid) read from the arrow in the middle of the map view: the middle of the range
// of headings whose drawn arrow matches best, searched within `window` radians of the
// guess (pi or more searches the whole turn). NaN when no arrow pixel is there.
double readMapHeading(const Shot& shot, double guess, double window);

// Pick-up squares (48-cell rings of near-white) on a map-view shot, as the grid cell of
// their centre. Pixels of the cab arrow drawn at `heading` are left out.
struct Square {
    int x = 0, y = 0;
    int cells = 0;
};
std::vector<Square> findSquares(const StreetColours& colours, const Shot& shot, int cabX, int cabY, double heading);

// What a map-view shot shows of the grid around the cab, in a square window of cells.
enum class Seen : uint8_t { Unknown = 0, Open = 1, Blocked = 2 };
struct LocalMap {
    int originX = 0, originY = 0;
    int size = 0;
    std::vector<Seen> cells;
    Seen at(int x, int y) const;
};
void observeMap(const StreetColours& colours, const Shot& shot, int cabX, int cabY, int size, LocalMap& map);

// A path of cells from the start towards the goal through cells the shot showed open,
// kept away from anything blocked. When the goal is outside the window or cannot be
// reached, the path ends at the reachable cell nearest to it; given the end of the last
// plan (`keep`), that end is kept while it is nearly as good, so that two ways of about
// the same length do not take turns. Empty when the start is outside the window.
struct Cell {
    int x = 0, y = 0;
};
std::vector<Cell> planPath(const LocalMap& map, Cell start, Cell goal, const Cell* keep = nullptr);

// The destination arrow of the cockpit: the angle a of the game's arrow rule (the
// destination's bearing minus the heading minus a quarter turn), read from the shot's
// pixels, or NaN when no arrow is drawn.
double readHudArrow(const Shot& shot);

// The distance number under the cockpit's arrow (the game shows 0.15 x the distance in
// cells, rounded down), or -1 when none of 0..999 matches.
int readHudDistance(const FontSet& font, const Shot& shot);

// True when the shot shows the text drawn with printText at (x, y) in the style.
bool showsText(const FontSet& font, const Shot& shot, int x, int y, const std::string& text, int style);

}  // namespace hc::driver
