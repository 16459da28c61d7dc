#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "city/city_map.h"
#include "core/random.h"

namespace hc {
namespace {

// A scratch grid shared by the tests of this file; each test paves the area it uses.
CityMap& scratch() {
    static CityMap* map = newCityMap();
    return *map;
}

constexpr MapCell Ground{78, 1, Passable, 0, 0};
constexpr MapCell Wall{255, 3, Visible, 0, 0};

void pave(CityMap& map, int x1, int y1, int x2, int y2) {
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y) cellAt(map, x, y) = Ground;
}

TEST(FillRect, CopiesTemplateVariesPassableColourAndClips) {
    CityMap& map = scratch();
    MapCell wall = Wall;
    wall.spriteColXCross = 2;
    fillRect(map, wall, 100, 200, 103, 205);
    for (int x = 99; x <= 104; ++x)
        for (int y = 199; y <= 206; ++y)
            EXPECT_EQ(cellAt(map, x, y) == wall, x >= 100 && x <= 103 && y >= 200 && y <= 205) << x << "," << y;
    // Empty rectangles draw and write nothing; the grid's edge clips.
    pave(map, 0, 0, 3, 3);
    seedRandom(8);
    const double first = nextRandom();
    seedRandom(8);
    fillRect(map, Ground, 3, 0, 2, 3);
    fillRect(map, Ground, 0, 3, 3, 2);
    EXPECT_EQ(nextRandom(), first);
    fillRect(map, Wall, -5, -5, 1, 1);
    fillRect(map, Wall, MapSize - 2, MapSize - 2, MapSize + 10, MapSize + 10);
    EXPECT_EQ(std::tuple(cellAt(map, 0, 0), cellAt(map, 1, 1), cellAt(map, MapSize - 1, MapSize - 1)), std::tuple(Wall, Wall, Wall));
    EXPECT_EQ(cellAt(map, 2, 2), Ground);
}

TEST(IsBlocked, LooksAtTheCellUnderThePointAndReportsIt) {
    CityMap& map = scratch();
    pave(map, 8, 8, 12, 12);
    cellAt(map, 10, 11) = Wall;
    const MapCell untouched{1, 2, 3, 4, 5};
    const struct { float x, y; bool blocked; MapCell probe; /* probeCell afterwards */ } cases[] = {
        {10.0f, 11.0f, true, Wall},    {10.999f, 11.999f, true, Wall},  // floor of the point
        {9.999f, 11.5f, false, untouched}, {10.5f, 12.0f, false, untouched},
        {-0.5f, 5.0f, true, untouched},    {5.0f, 2048.0f, true, untouched},  // off the grid
        {NAN, 5.0f, true, untouched},
    };
    for (const auto& c : cases) {
        map.probeCell = untouched;
        EXPECT_EQ(isBlocked(map, c.x, c.y), c.blocked) << c.x << "," << c.y;
        EXPECT_EQ(map.probeCell, c.probe) << c.x << "," << c.y;
    }
}

// Mirroring is its own inverse and turns sprites round only in x; blocks leaving the grid are left alone.
TEST(Mirror, SwapsCellsOnceAndFlipsSpriteDirectionOnlyInX) {
    CityMap& map = scratch();
    const int a = 512, b = 768;
    for (int x = a; x < a + 256; ++x)
        for (int y = b; y < b + 256; ++y) cellAt(map, x, y) = MapCell{uint8_t(x - a), uint8_t(y - b), 0, 0, 0};
    mirrorBlockX(map, a, b, a + 255, b + 255);
    mirrorBlockY(map, a, b, a + 255, b + 255);
    EXPECT_EQ(cellAt(map, a + 241, b + 223), (MapCell{14, 32, SpriteAscending, 0, 0}));
    EXPECT_EQ(std::tuple(cellAt(map, a + 127, b).colour, cellAt(map, a + 128, b).colour), std::tuple(128, 127)) << "middle columns";
    cellAt(map, MapSize - 10, 0).colour = 9;
    mirrorBlockX(map, MapSize - 10, 0, MapSize + 245, 255);
    mirrorBlockY(map, MapSize - 10, -1, MapSize - 1, 254);
    EXPECT_EQ(cellAt(map, MapSize - 10, 0).colour, 9);
}

// A parked vehicle covers x - 3 .. x + 4 by y - 2 .. y + 1, or nothing at all when one of
// those cells is taken or off the grid; unstamping puts back what was there.
TEST(VehicleStamp, AllOrNothingAndUnstamping) {
    CityMap& map = scratch();
    pave(map, 290, 290, 310, 310);
    cellAt(map, 301, 310) = Wall;  // the far front corner of a vehicle at (297, 309)
    EXPECT_FALSE(placeParkedVehicle(map, 297, 309));
    EXPECT_EQ(cellAt(map, 294, 307), Ground);
    cellAt(map, 301, 310) = Ground;
    cellAt(map, 299, 308).flags |= PickupMark;
    MapCell saved[VehicleFootprintCells];
    ASSERT_TRUE(stampVehicle(map, 300, 307, 0, -1, 3, saved));  // heading -y: front row at y 303
    EXPECT_EQ(std::tuple(hasFlag(cellAt(map, 300, 303), Vehicle), hasFlag(cellAt(map, 300, 302), Vehicle)), std::tuple(true, false));
    unstampVehicle(map, 300, 307, 0, -1, saved);
    EXPECT_EQ(std::tuple(cellAt(map, 300, 303), hasFlag(cellAt(map, 299, 308), PickupMark)), std::tuple(Ground, true));
    pave(map, 0, 0, 10, 10);
    EXPECT_FALSE(stampVehicle(map, 2, 5, 1, 0, 1, nullptr));
    EXPECT_EQ(cellAt(map, 0, 5), Ground);
}

}  // namespace
}  // namespace hc
