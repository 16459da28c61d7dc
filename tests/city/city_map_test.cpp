#include <gtest/gtest.h>

#include <cmath>

#include "city/city_map.h"
#include "city_fixture.h"
#include "core/random.h"

namespace hc {
namespace {

// A scratch grid shared by the tests of this file; each test paves the area it uses.
CityMap& scratch() {
    static CityMap* map = newCityMap();
    return *map;
}

MapCell ground(uint8_t colour = 78) {
    MapCell cell{};
    cell.colour = colour;
    cell.kind = 1;
    cell.flags = Passable;
    return cell;
}

void pave(CityMap& map, int x1, int y1, int x2, int y2) {
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y) cellAt(map, x, y) = ground();
}

TEST(CellConstructors, BuildTheCellKindsOfTheCity) {
    seedRandom(1);
    MapCell cell{};
    cell.spriteColYCross = 9;
    cell.spriteColXCross = 3;
    makeGroundCell(cell);
    EXPECT_TRUE(cell.colour == 77 || cell.colour == 78);
    EXPECT_EQ(cell.kind, 1);
    EXPECT_EQ(cell.flags, Passable);
    EXPECT_EQ(cell.spriteColYCross, 9) << "ground cells leave the sprite columns alone";
    EXPECT_EQ(cell.spriteColXCross, 3);

    makeWallCell(cell, 7);
    EXPECT_EQ(cell.colour, 255);
    EXPECT_EQ(cell.kind, 7);
    EXPECT_EQ(cell.flags, Visible);

    makeLowWallCell(cell, 16);
    EXPECT_EQ(cell.colour, 255);
    EXPECT_EQ(cell.flags, Passable | Visible | SeeThrough);

    MapCell vehicle{};
    makeVehicleCell(vehicle, 5, true);
    EXPECT_EQ(vehicle.colour, 0);
    EXPECT_EQ(vehicle.kind, 5);
    EXPECT_EQ(vehicle.flags, Visible | SeeThrough | Vehicle | TallVehicle);
    makeVehicleCell(vehicle, 2, false);
    EXPECT_EQ(vehicle.flags, Visible | SeeThrough | Vehicle) << "a reused template loses TallVehicle";
}

TEST(CellFlags, SetAndClearSingleBits) {
    MapCell cell{};
    cell.flags = Visible | PickupMark;
    setCellFlag(cell, Passable, true);
    setCellFlag(cell, Passable, true);
    EXPECT_EQ(cell.flags, Passable | Visible | PickupMark);
    setCellFlag(cell, PickupMark, false);
    setCellFlag(cell, PickupMark, false);
    EXPECT_EQ(cell.flags, Passable | Visible);
}

TEST(FillRect, CopiesTemplateAndVariesPassableColour) {
    CityMap& map = scratch();
    MapCell wall{};
    wall.colour = 255;
    wall.kind = 4;
    wall.flags = Visible;
    wall.spriteColXCross = 2;
    fillRect(map, wall, 100, 200, 103, 205);
    for (int x = 99; x <= 104; ++x) {
        for (int y = 199; y <= 206; ++y) {
            const bool inside = x >= 100 && x <= 103 && y >= 200 && y <= 205;
            EXPECT_EQ(cellAt(map, x, y) == wall, inside) << x << "," << y;
        }
    }
    // A passable template of colour 77 gives 76 or 77, one random number per cell.
    MapCell street = ground(77);
    seedRandom(5);
    fillRect(map, street, 100, 200, 103, 205);
    seedRandom(5);
    for (int x = 100; x <= 103; ++x) {
        for (int y = 200; y <= 205; ++y) {
            const int expected = 77 - static_cast<int>(std::floor(2 * nextRandom()));
            EXPECT_EQ(cellAt(map, x, y).colour, expected);
            EXPECT_EQ(cellAt(map, x, y).flags, Passable);
        }
    }
}

TEST(FillRect, EmptyAndOutOfGridRectanglesWriteNothingOutside) {
    CityMap& map = scratch();
    pave(map, 0, 0, 3, 3);
    seedRandom(8);
    const double first = nextRandom();
    seedRandom(8);
    fillRect(map, ground(50), 3, 0, 2, 3);  // x1 > x2
    fillRect(map, ground(50), 0, 3, 3, 2);  // y1 > y2
    EXPECT_EQ(nextRandom(), first) << "an empty rectangle draws no random numbers";
    EXPECT_EQ(cellAt(map, 2, 2).colour, 78);
    // Clipped to the grid: only the cells inside change.
    MapCell wall{255, 3, Visible, 0, 0};
    fillRect(map, wall, -5, -5, 1, 1);
    fillRect(map, wall, MapSize - 2, MapSize - 2, MapSize + 10, MapSize + 10);
    EXPECT_EQ(cellAt(map, 0, 0), wall);
    EXPECT_EQ(cellAt(map, 1, 1), wall);
    EXPECT_EQ(cellAt(map, 2, 2).colour, 78);
    EXPECT_EQ(cellAt(map, MapSize - 1, MapSize - 1), wall);
}

TEST(IsBlocked, LooksAtTheCellUnderThePointAndReportsIt) {
    CityMap& map = scratch();
    pave(map, 8, 8, 12, 12);
    MapCell wall{255, 9, Visible, 0, 0};
    cellAt(map, 10, 11) = wall;
    map.probeCell = MapCell{1, 2, 3, 4, 5};
    EXPECT_FALSE(isBlocked(map, 9.999f, 11.5f));
    EXPECT_EQ(map.probeCell, (MapCell{1, 2, 3, 4, 5})) << "a free result leaves probeCell";
    EXPECT_TRUE(isBlocked(map, 10.0f, 11.0f));
    EXPECT_EQ(map.probeCell, wall);
    map.probeCell = MapCell{};
    EXPECT_TRUE(isBlocked(map, 10.999f, 11.999f));
    EXPECT_EQ(map.probeCell, wall);
    EXPECT_FALSE(isBlocked(map, 10.5f, 12.0f));
    // Points off the grid block without touching probeCell.
    map.probeCell = MapCell{};
    EXPECT_TRUE(isBlocked(map, -0.5f, 5.0f));
    EXPECT_TRUE(isBlocked(map, 5.0f, 2048.0f));
    EXPECT_TRUE(isBlocked(map, NAN, 5.0f));
    EXPECT_EQ(map.probeCell, MapCell{});
}

TEST(Mirror, SwapsCellsOnceAndFlipsSpriteDirectionOnlyInX) {
    CityMap& map = scratch();
    const int a = 512, b = 768;
    for (int x = a; x < a + 256; ++x) {
        for (int y = b; y < b + 256; ++y) {
            MapCell cell{};
            cell.colour = static_cast<uint8_t>(x - a);
            cell.kind = static_cast<uint8_t>(y - b);
            cell.flags = (x + y) % 3 == 0 ? SpriteAscending : Passable;
            cellAt(map, x, y) = cell;
        }
    }
    const MapCell before = cellAt(map, a + 14, b + 32);
    mirrorBlockX(map, a, b, a + 255, b + 255);
    const MapCell& moved = cellAt(map, a + 241, b + 32);
    EXPECT_EQ(moved.colour, 14);
    EXPECT_EQ(moved.kind, 32);
    EXPECT_EQ(moved.flags, before.flags ^ SpriteAscending);
    EXPECT_EQ(cellAt(map, a, b + 7).colour, 255);
    EXPECT_EQ(cellAt(map, a + 127, b).colour, 128) << "the two middle columns swap";
    EXPECT_EQ(cellAt(map, a + 128, b).colour, 127);
    mirrorBlockY(map, a, b, a + 255, b + 255);
    const MapCell& both = cellAt(map, a + 241, b + 223);
    EXPECT_EQ(both.colour, 14);
    EXPECT_EQ(both.kind, 32);
    EXPECT_EQ(both.flags, before.flags ^ SpriteAscending) << "the y mirror keeps the sprite direction";
    mirrorBlockY(map, a, b, a + 255, b + 255);
    mirrorBlockX(map, a, b, a + 255, b + 255);
    for (int x = a; x < a + 256; x += 17) {
        for (int y = b; y < b + 256; y += 13) {
            EXPECT_EQ(cellAt(map, x, y).colour, x - a);
            EXPECT_EQ(cellAt(map, x, y).kind, y - b);
        }
    }
    EXPECT_EQ(cellAt(map, a + 14, b + 32), before) << "mirroring twice restores the block";
}

TEST(Mirror, BlocksLeavingTheGridAreLeftAlone) {
    CityMap& map = scratch();
    pave(map, MapSize - 10, 0, MapSize - 1, 9);
    cellAt(map, MapSize - 10, 0).colour = 9;
    mirrorBlockX(map, MapSize - 10, 0, MapSize + 245, 255);
    mirrorBlockY(map, MapSize - 10, -1, MapSize - 1, 254);
    EXPECT_EQ(cellAt(map, MapSize - 10, 0).colour, 9);
}

TEST(VehicleStamp, ParkedVehicleHeadingPlusX) {
    CityMap& map = scratch();
    pave(map, 290, 290, 310, 310);
    seedRandom(21);
    const int model = static_cast<int>(std::floor(5 * nextRandom())) + 1;
    seedRandom(21);
    ASSERT_TRUE(placeParkedVehicle(map, 300, 300));
    for (int x = 296; x <= 305; ++x) {
        for (int y = 297; y <= 302; ++y) {
            const MapCell& cell = cellAt(map, x, y);
            const bool inside = x >= 297 && x <= 304 && y >= 298 && y <= 301;
            ASSERT_EQ(hasFlag(cell, Vehicle), inside) << x << "," << y;
            if (!inside) continue;
            EXPECT_EQ(cell.kind, model);
            EXPECT_EQ(cell.colour, 0);
            EXPECT_EQ(hasFlag(cell, TallVehicle), model == 5);
            EXPECT_TRUE(hasFlag(cell, SpriteAscending));
            EXPECT_TRUE(hasFlag(cell, Visible) && hasFlag(cell, SeeThrough));
            EXPECT_FALSE(hasFlag(cell, Passable));
            EXPECT_EQ(cell.spriteColYCross, 7 + (x - 300)) << "side view along the car";
            const int across = y - 300;
            EXPECT_EQ(cell.spriteColXCross, x == 304 ? 14 + across : 2 + across)
                << "rear view at the back, front view in the front row";
        }
    }
}

TEST(VehicleStamp, BlockedFootprintWritesNothingAndUnstampRestores) {
    CityMap& map = scratch();
    pave(map, 390, 390, 410, 410);
    cellAt(map, 404, 401) = MapCell{255, 3, Visible, 0, 0};  // the far front corner
    ASSERT_FALSE(placeParkedVehicle(map, 400, 400));
    for (int x = 397; x <= 403; ++x)
        for (int y = 398; y <= 401; ++y) EXPECT_EQ(cellAt(map, x, y), ground()) << x << "," << y;

    // A car heading -y: its front row is at y - 4, its across vector (fwdY, fwdX).
    cellAt(map, 404, 401) = ground();
    cellAt(map, 399, 399).flags |= PickupMark;
    MapCell saved[VehicleFootprintCells];
    ASSERT_TRUE(stampVehicle(map, 400, 400, 0, -1, 3, saved));
    const MapCell& front = cellAt(map, 400 + (-1) * 0, 400 - 4);
    EXPECT_TRUE(hasFlag(front, Vehicle));
    EXPECT_FALSE(hasFlag(front, SpriteAscending));
    EXPECT_EQ(cellAt(map, 400 - 1 * (-2), 396).spriteColYCross, 14 + (-2)) << "front view on y faces";
    EXPECT_EQ(cellAt(map, 402, 403).spriteColYCross, 0);
    EXPECT_EQ(cellAt(map, 400, 403).spriteColXCross, 4);
    unstampVehicle(map, 400, 400, 0, -1, saved);
    EXPECT_TRUE(hasFlag(cellAt(map, 399, 399), PickupMark));
    EXPECT_EQ(cellAt(map, 400, 396), ground());
    // Off the grid counts as blocked.
    pave(map, 0, 0, 10, 10);
    EXPECT_FALSE(stampVehicle(map, 2, 5, 1, 0, 1, nullptr));
    EXPECT_EQ(cellAt(map, 0, 5), ground());
}

}  // namespace
}  // namespace hc
