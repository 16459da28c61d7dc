#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "city/city_generator.h"
#include "city_fixture.h"
#include "core/system.h"

namespace hc {
namespace {

using test::DecodingShadeTable;
using test::sharedCity;

// District-local position of a point of the unmirrored layout after the district's
// mirror choice.
struct Local {
    int x, y;
};
Local mirrored(int mirror, int lx, int ly) {
    if (mirror & 1) lx = 255 - lx;
    if (mirror & 2) ly = 255 - ly;
    return {lx, ly};
}

const MapCell& districtCell(const CityMap& map, int i, int j, int mirror, int lx, int ly) {
    const Local p = mirrored(mirror, lx, ly);
    return cellAt(map, DistrictSize * i + p.x, DistrictSize * j + p.y);
}

TEST(CityGeneration, EdgesAreBoundaryWall) {
    const CityMap& map = *sharedCity().map;
    for (int k = 0; k < MapSize; ++k) {
        for (const MapCell* cell : {&cellAt(map, k, 0), &cellAt(map, k, MapSize - 1), &cellAt(map, 0, k),
                                    &cellAt(map, MapSize - 1, k)}) {
            ASSERT_EQ(cell->kind, 17) << k;
            ASSERT_EQ(cell->colour, 255);
            ASSERT_EQ(cell->flags, Visible);
        }
    }
}

TEST(CityGeneration, LightLevelsTieToEven) {
    EXPECT_EQ(groundLightLevel(0, 0), 16);      // d = 64 at a crossing point
    EXPECT_EQ(groundLightLevel(32, 32), 8);     // d = 0
    EXPECT_EQ(groundLightLevel(32, 36), 8);     // d = 4: 8.5 goes to 8
    EXPECT_EQ(groundLightLevel(32 + 64, 44), 10);  // d = 12: 9.5 goes to 10
    EXPECT_EQ(groundLightLevel(2, 62 + 128), 16);  // d = 60: 15.5 goes to 16
    EXPECT_EQ(groundLightLevel(40, 32), 9);     // d = 8
}

// Every passable cell carries exactly one shading of the colour its markings call for,
// at the level its position calls for; walls and closed floors keep raw colours.
TEST(CityGeneration, EveryPassableCellIsMarkedAndShadedOnce) {
    const CityMap& map = *sharedCity().map;
    long passable = 0;
    for (int x = 1; x < MapSize - 1; ++x) {
        for (int y = 1; y < MapSize - 1; ++y) {
            const MapCell& cell = cellAt(map, x, y);
            if (!hasFlag(cell, Passable)) {
                if (hasFlag(cell, Vehicle)) {
                    ASSERT_EQ(cell.colour, 0);
                } else if (hasFlag(cell, Visible)) {
                    ASSERT_EQ(cell.colour, 255) << x << "," << y;
                } else {
                    ASSERT_TRUE(cell.colour == 77 || cell.colour == 78) << "enclosure floor " << x << "," << y;
                }
                continue;
            }
            ++passable;
            int colour = 0, level = 0;
            ASSERT_TRUE(DecodingShadeTable::decode(cell.colour, colour, level))
                << "unshaded or shaded twice at " << x << "," << y;
            ASSERT_EQ(level, groundLightLevel(x, y)) << x << "," << y;
            const int u = x % 128, v = y % 128;
            int expected = -1;  // -1: plain ground, 76 to 78 (or the gate's 254, 255)
            if (u == 10 || v == 10 || u == 118 || v == 118) expected = 19;
            if (u == 0 ? (v == 0 || (v - 1) % 12 <= 6) : (v == 0 && (u - 1) % 12 <= 6)) expected = 234;
            if (expected >= 0) {
                ASSERT_EQ(colour, expected) << x << "," << y;
            } else {
                ASSERT_TRUE((colour >= 76 && colour <= 78) || colour >= 254) << colour << " at " << x << "," << y;
                if (colour >= 254) {
                    ASSERT_EQ(cell.kind, 14) << "only the gate is a passable wall";
                }
            }
        }
    }
    EXPECT_GT(passable, MapSize * MapSize / 4);
}

TEST(CityGeneration, CentreDashesRunSevenOnFiveOff) {
    // Along a street centred on x = 128: v = 0..7 painted, 8..12 not, 13..19 painted.
    const CityMap& map = *sharedCity().map;
    int colour = 0, level = 0;
    std::string pattern;
    for (int y = 256 + 0; y < 256 + 20; ++y) {
        const MapCell& cell = cellAt(map, 1024, y);
        ASSERT_TRUE(DecodingShadeTable::decode(cell.colour, colour, level));
        pattern += colour == 234 ? '#' : '.';
    }
    EXPECT_EQ(pattern, "########.....#######");
}

TEST(CityGeneration, DistrictsHoldTheirLotsPostAndStreets) {
    const auto& city = sharedCity();
    const CityMap& map = *city.map;
    int layoutsSeen[5] = {};
    for (int i = 0; i < DistrictsPerSide; ++i) {
        for (int j = 0; j < DistrictsPerSide; ++j) {
            const int nx = city.plan.lotsX[i][j], ny = city.plan.lotsY[i][j], mirror = city.plan.mirror[i][j];
            ASSERT_TRUE(nx == 1 || nx == 2 || nx == 4);
            ASSERT_TRUE(ny == 1 || ny == 2 || ny == 4);
            ASSERT_LT(mirror, 4);
            const int stepX = 256 / nx, stepY = 256 / ny;
            if (nx == ny) ++layoutsSeen[nx];
            // The post, moved by the mirrors.
            for (int lx = 14; lx <= 15; ++lx) {
                for (int ly = 32; ly <= 33; ++ly) {
                    const MapCell& post = districtCell(map, i, j, mirror, lx, ly);
                    ASSERT_EQ(post.kind, 19);
                    ASSERT_EQ(post.flags & ~SpriteAscending, Visible);
                }
            }
            if (nx == ny) continue;
            // Without a layout: lots of one kind each, 32-cell streets round them.
            int lots = 0;
            for (int x0 = 0; x0 < 256; x0 += stepX) {
                for (int y0 = 0; y0 < 256; y0 += stepY) {
                    ++lots;
                    const MapCell& corner = districtCell(map, i, j, mirror, x0 + 16, y0 + 16);
                    ASSERT_GE(corner.kind, 1);
                    ASSERT_LE(corner.kind, 11);
                    for (int lx = x0 + 16; lx <= x0 + stepX - 17; lx += 5) {
                        for (int ly = y0 + 16; ly <= y0 + stepY - 17; ly += 5) {
                            const MapCell& cell = districtCell(map, i, j, mirror, lx, ly);
                            ASSERT_EQ(cell.kind, corner.kind);
                            ASSERT_EQ(cell.flags & ~SpriteAscending, Visible);
                        }
                    }
                    // The margins are street, apart from the post and the boundary.
                    for (int k = 0; k < stepY; ++k) {
                        for (int lx : {x0, x0 + 15, x0 + stepX - 16, x0 + stepX - 1}) {
                            const int ly = y0 + k;
                            if (lx >= 14 && lx <= 15 && ly >= 32 && ly <= 33) continue;
                            const MapCell& cell = districtCell(map, i, j, mirror, lx, ly);
                            if (DistrictSize * i + mirrored(mirror, lx, ly).x == 0) continue;  // boundary
                            if (DistrictSize * j + mirrored(mirror, lx, ly).y == 0) continue;
                            if (DistrictSize * i + mirrored(mirror, lx, ly).x == MapSize - 1) continue;
                            if (DistrictSize * j + mirrored(mirror, lx, ly).y == MapSize - 1) continue;
                            ASSERT_TRUE(hasFlag(cell, Passable)) << i << "," << j << " at " << lx << "," << ly;
                        }
                    }
                }
            }
            ASSERT_EQ(lots, nx * ny);
        }
    }
    // The shared seed shows each special layout at least once.
    EXPECT_GT(layoutsSeen[1], 0);
    EXPECT_GT(layoutsSeen[2], 0);
    EXPECT_GT(layoutsSeen[4], 0);
}

// Counts the vehicle cells of a district and checks they form one parked car at the
// layout's spot.
void expectParkedVehicle(const CityMap& map, int i, int j, int mirror, int vx, int vy) {
    int vehicleCells = 0;
    for (int lx = 0; lx < 256; ++lx)
        for (int ly = 0; ly < 256; ++ly) vehicleCells += hasFlag(districtCell(map, i, j, mirror, lx, ly), Vehicle);
    EXPECT_EQ(vehicleCells, VehicleFootprintCells);
    for (int lx = vx - 3; lx <= vx + 4; ++lx) {
        for (int ly = vy - 2; ly <= vy + 1; ++ly) {
            const MapCell& cell = districtCell(map, i, j, mirror, lx, ly);
            ASSERT_TRUE(hasFlag(cell, Vehicle));
            EXPECT_EQ(cell.spriteColYCross, 7 + lx - vx);
            // Mirrored in x, the car faces -x: its sprites run the other way.
            EXPECT_EQ(hasFlag(cell, SpriteAscending), (mirror & 1) == 0);
        }
    }
}

TEST(CityGeneration, SpecialLayoutsAndTheirVehicles) {
    const auto& city = sharedCity();
    const CityMap& map = *city.map;
    for (int i = 0; i < DistrictsPerSide; ++i) {
        for (int j = 0; j < DistrictsPerSide; ++j) {
            const int n = city.plan.lotsX[i][j], mirror = city.plan.mirror[i][j];
            if (n != city.plan.lotsY[i][j]) {
                int vehicleCells = 0;
                for (int x = 0; x < 256; ++x)
                    for (int y = 0; y < 256; ++y) vehicleCells += hasFlag(cellAt(map, 256 * i + x, 256 * j + y), Vehicle);
                EXPECT_EQ(vehicleCells, 0);
                continue;
            }
            auto at = [&](int lx, int ly) -> const MapCell& { return districtCell(map, i, j, mirror, lx, ly); };
            if (n == 4) {
                EXPECT_EQ(at(48, 24).kind, 16);
                EXPECT_EQ(at(56, 39).flags & ~SpriteAscending, Visible | SeeThrough);
                EXPECT_EQ(at(52, 30).flags & ~SpriteAscending, 0) << "closed floor";
                EXPECT_EQ(at(49, 25).colour, at(55, 38).colour) << "one template colour";
                expectParkedVehicle(map, i, j, mirror, 164, 75);
            } else if (n == 2) {
                EXPECT_EQ(at(17, 17).kind, 15);
                EXPECT_EQ(at(64, 80).kind, 15) << "pillar";
                EXPECT_EQ(at(64, 81).flags & Visible, 0);
                EXPECT_EQ(at(16, 16).kind, at(111, 111).kind) << "the lot's ring survives";
                EXPECT_EQ(at(16, 50).kind, 14);
                EXPECT_EQ(at(16, 50).flags & ~SpriteAscending, Passable | Visible) << "gate";
                EXPECT_EQ(at(17, 50).flags & ~SpriteAscending, Passable) << "opening behind the gate";
                EXPECT_EQ(at(16, 47).flags & ~SpriteAscending, Visible);
                expectParkedVehicle(map, i, j, mirror, 104, 23);
            } else {
                EXPECT_EQ(at(128, 128).kind, 15) << "tower";
                EXPECT_EQ(at(90, 90).kind, 18) << "podium";
                EXPECT_EQ(at(90, 90).flags & ~SpriteAscending, Visible | SeeThrough);
                EXPECT_TRUE(hasFlag(at(120, 20), Passable)) << "driveway through the ring";
                EXPECT_TRUE(hasFlag(at(120, 84), Passable)) << "driveway into the podium";
                EXPECT_FALSE(hasFlag(at(120, 85), Passable));
                EXPECT_FALSE(hasFlag(at(100, 20), Passable)) << "the lot's ring";
                EXPECT_EQ(at(50, 160).kind, 16);
                expectParkedVehicle(map, i, j, mirror, 54, 54);
            }
        }
    }
}

TEST(CityGeneration, OtherSeedsKeepTheInvariantsAndSayWhatIsGoingOn) {
    CityMap* map = newCityMap();
    for (uint64_t seed : {11u, 12u}) {
        CityPlan plan;
        std::string console;
        setConsoleSink([&](std::string_view text) { console += text; });
        seedRandom(seed);
        generateCityMap(*map, test::decodingShadeTable().table, &plan);
        setConsoleSink(nullptr);
        EXPECT_EQ(console, "Generating map\n");
        long vehicles = 0, expectedVehicles = 0;
        for (int i = 0; i < DistrictsPerSide; ++i)
            for (int j = 0; j < DistrictsPerSide; ++j) expectedVehicles += plan.lotsX[i][j] == plan.lotsY[i][j];
        for (int x = 0; x < MapSize; ++x) {
            for (int y = 0; y < MapSize; ++y) {
                const MapCell& cell = cellAt(*map, x, y);
                if (x == 0 || y == 0 || x == MapSize - 1 || y == MapSize - 1) {
                    ASSERT_EQ(cell.kind, 17);
                }
                vehicles += hasFlag(cell, Vehicle);
                int colour, level;
                if (hasFlag(cell, Passable)) {
                    ASSERT_TRUE(DecodingShadeTable::decode(cell.colour, colour, level));
                }
            }
        }
        EXPECT_EQ(vehicles, expectedVehicles * VehicleFootprintCells) << "every layout gets its vehicle";
    }
    deleteCityMap(map);
}

TEST(CityGeneration, GoldenDigestOfTheSharedSeed) {
    // Any change to how a city is built (or to the order of its random numbers) changes
    // this digest.
    const CityMap& map = *sharedCity().map;
    EXPECT_EQ(test::fnv1a(map.cells, sizeof map.cells), 8291808830038895522ull);
}

}  // namespace
}  // namespace hc
