#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "city/city_generator.h"
#include "city/city_map.h"
#include "core/random.h"
#include "core/system.h"
#include "support/digest.h"

namespace hc {
namespace {

// The shade table maps the ground colours (76, 77, 78, lines 19 and 234, the gate's 254
// and 255) to 100 + 17 * id + level and every other colour to 1, so a test can read back
// what the generator shaded; a cell shaded twice shows up as 1.
constexpr int GroundColours[7] = {76, 77, 78, 19, 234, 254, 255};
int groundColour(uint8_t value) { return value >= 100 && value < 219 ? GroundColours[(value - 100) / 17] : -1; }

// One generated city per test binary: generation is the slow part of these tests.
struct SharedCity {
    static constexpr uint64_t Seed = 7700;
    CityMap* map = newCityMap();
    CityPlan plan;
    uint8_t shade[256][17];
    std::string console;
    SharedCity() {
        std::memset(shade, 1, sizeof shade);
        for (int id = 0; id < 7; ++id)
            for (int level = 0; level < 17; ++level) shade[GroundColours[id]][level] = uint8_t(100 + 17 * id + level);
        setConsoleSink([this](std::string_view text) { console += text; });
        seedRandom(Seed);
        generateCityMap(*map, shade, &plan);
        setConsoleSink(nullptr);
    }
    ~SharedCity() { deleteCityMap(map); }
};

const SharedCity& sharedCity() {
    static const SharedCity city;
    return city;
}

// The cell at district-local (lx, ly) of the unmirrored layout after the district's
// mirror choice (bit 0: x, bit 1: y), and the other way round.
struct Local { int x, y; };
Local mirrored(int mirror, int lx, int ly) { return {mirror & 1 ? 255 - lx : lx, mirror & 2 ? 255 - ly : ly}; }
const MapCell& districtCell(const CityMap& map, int i, int j, int mirror, int lx, int ly) {
    const Local p = mirrored(mirror, lx, ly);
    return cellAt(map, DistrictSize * i + p.x, DistrictSize * j + p.y);
}

TEST(CityGeneration, LightLevelsAndLaneMarksWorkedByHand) {
    // d = |x mod 64 - 32| + |y mod 64 - 32|; level 16 (0.5 d / 64 + 0.5), halves to even.
    const struct { int x, y, level; } lights[] = {{0, 0, 16}, {32, 32, 8}, {40, 32, 9}, {32, 36, 8} /* 8.5 */,
                            {96, 44, 10} /* 9.5 */, {2, 190, 16} /* 15.5 */};
    for (const auto& l : lights) EXPECT_EQ(groundLightLevel(l.x, l.y), l.level) << l.x << "," << l.y;

    // Along the street centred on x = 1024: 7 cells of dash, 5 without, restarting at
    // each multiple of 128 with a dash through the crossing; edge lines 10 cells off.
    const CityMap& map = *sharedCity().map;
    std::string pattern;
    for (int y = 240; y < 276; ++y) {
        const int colour = groundColour(cellAt(map, 1024, y).colour);
        ASSERT_GE(colour, 0) << y;
        pattern += colour == 234 ? '#' : colour == 19 ? '|' : '.';
    }
    EXPECT_EQ(pattern, "####..|..###############..|..#######");
}

// The ground colour of every cell is drawn first (x outer, y inner), then district by district (i outer, j inner) the
// lot counts across x and y, each lot's kind and colour, the post's template, the layout's draws (for the 4 x 4
// enclosure: the low wall's template, the closed floor's colour, the parked vehicle's model) and the mirror.
TEST(CityGeneration, RandomDrawsDecideInOrder) {
    const auto& city = sharedCity();
    const CityMap& map = *city.map;
    seedRandom(SharedCity::Seed);
    std::vector<double> ground(MapSize * MapSize);
    for (double& r : ground) r = nextRandom();
    std::vector<double> d(48);
    for (double& r : d) r = nextRandom();

    EXPECT_EQ(city.plan.lotsX[0][0], 1 << static_cast<int>(3 * d[0])) << "draw 0 of a district: lots across x";
    EXPECT_EQ(city.plan.lotsY[0][0], 1 << static_cast<int>(3 * d[1])) << "draw 1 of a district: lots across y";
    ASSERT_EQ(std::tuple(city.plan.lotsX[0][0], city.plan.lotsY[0][0]), std::tuple(4, 4)) << "the seed must start with 4 x 4";
    const int mirror = city.plan.mirror[0][0];
    EXPECT_EQ(mirror, static_cast<int>(4 * d[38])) << "draw 38: the mirror, after the layout";
    for (int lot = 0; lot < 16; ++lot) {
        const int x0 = 64 * (lot / 4), y0 = 64 * (lot % 4);
        EXPECT_EQ(districtCell(map, 0, 0, mirror, x0 + 16, y0 + 16).kind, static_cast<int>(11 * d[2 + 2 * lot]) + 1)
            << "draw " << 2 + 2 * lot << ": the kind of lot " << lot << " (x outer, y inner)";
    }
    EXPECT_EQ(districtCell(map, 0, 0, mirror, 52, 30).colour, 78 - static_cast<int>(2 * d[36]))
        << "draw 36: the closed floor's colour, after the post's and the low wall's templates";
    EXPECT_EQ(districtCell(map, 0, 0, mirror, 164, 75).kind, static_cast<int>(5 * d[37]) + 1)
        << "draw 37: the parked vehicle's model";
    EXPECT_EQ(city.plan.lotsX[0][1], 1 << static_cast<int>(3 * d[39])) << "district (0, 1) comes next";
    EXPECT_EQ(city.plan.lotsY[0][1], 1 << static_cast<int>(3 * d[40]));

    // Street cells keep the ground colour drawn for the place where they were built.
    for (auto [x, y] : {std::pair{3, 7}, {7, 3}, {5, 100}, {100, 5}}) {
        const Local built = mirrored(mirror, x, y);
        EXPECT_EQ(groundColour(cellAt(map, x, y).colour), 78 - static_cast<int>(2 * ground[built.x * MapSize + built.y]))
            << "the ground draw of cell " << built.x << "," << built.y << " (x outer, y inner)";
    }
}

// Each district: its post (moved by the mirrors); without a layout, nx by ny lots of one kind each with streets round
// them and no vehicle; with one, the layout's parked vehicle, whose sprites run the other way when mirrored in x.
TEST(CityGeneration, DistrictsHoldTheirLotsPostStreetsAndLayouts) {
    const auto& city = sharedCity();
    const CityMap& map = *city.map;
    int layouts[5] = {};
    for (int i = 0; i < DistrictsPerSide; ++i)
        for (int j = 0; j < DistrictsPerSide; ++j) {
            const int nx = city.plan.lotsX[i][j], ny = city.plan.lotsY[i][j], mirror = city.plan.mirror[i][j];
            auto at = [&](int lx, int ly) -> const MapCell& { return districtCell(map, i, j, mirror, lx, ly); };
            auto flags = [&](int lx, int ly) { return at(lx, ly).flags & ~SpriteAscending; };
            EXPECT_EQ(std::tuple(at(14, 32).kind, at(15, 33).kind, flags(15, 32)), std::tuple(19, 19, Visible)) << i << "," << j;
            int vehicleCells = 0;
            for (int x = 0; x < 256; ++x)
                for (int y = 0; y < 256; ++y) vehicleCells += hasFlag(cellAt(map, 256 * i + x, 256 * j + y), Vehicle);
            EXPECT_EQ(vehicleCells, nx == ny ? VehicleFootprintCells : 0) << i << "," << j;
            if (nx != ny) {
                for (int x0 = 0; x0 < 256; x0 += 256 / nx)
                    for (int y0 = 0; y0 < 256; y0 += 256 / ny) {
                        const int x1 = x0 + 256 / nx - 17, y1 = y0 + 256 / ny - 17, kind = at(x0 + 16, y0 + 16).kind;
                        ASSERT_EQ(std::tuple(bool(kind >= 1), bool(kind <= 11), at(x1, y1).kind, flags(x1, y0 + 16)), std::tuple(true, true, kind, Visible));
                        for (auto [lx, ly] : {std::pair{x0 + 15, y0 + 20}, {x1 + 1, y0 + 20}, {x0 + 20, y0 + 15}, {x0 + 20, y1 + 1}}) {
                            const Local p = mirrored(mirror, lx, ly);
                            const int x = 256 * i + p.x, y = 256 * j + p.y;
                            if (x > 0 && y > 0 && x < MapSize - 1 && y < MapSize - 1) { ASSERT_TRUE(hasFlag(cellAt(map, x, y), Passable)) << x << "," << y; }
                        }
                    }
                continue;
            }
            ++layouts[nx];
            const int vx = nx == 4 ? 164 : nx == 2 ? 104 : 54, vy = nx == 4 ? 75 : nx == 2 ? 23 : 54;
            for (int lx = vx - 3; lx <= vx + 4; ++lx)
                for (int ly = vy - 2; ly <= vy + 1; ++ly) {
                    ASSERT_EQ(std::tuple(hasFlag(at(lx, ly), Vehicle), at(lx, ly).spriteColYCross), std::tuple(true, 7 + lx - vx));
                    EXPECT_EQ(hasFlag(at(lx, ly), SpriteAscending), (mirror & 1) == 0);
                }
        }
    EXPECT_EQ(std::tuple(bool(layouts[1] > 0), bool(layouts[2] > 0), bool(layouts[4] > 0)), std::tuple(true, true, true)) << "the shared seed shows each layout";
}

// Any change to how a city is built, or to its random draws, changes the digest; every
// cell on the four edges is boundary wall.
TEST(CityGeneration, GoldenDigestOfTheSharedSeed) {
    const auto& city = sharedCity();
    EXPECT_EQ(city.console, "Generating map\n");
    EXPECT_EQ(test::fnv1a(city.map->cells, sizeof city.map->cells), 8291808830038895522ull);
    for (int k = 0; k < MapSize; ++k)
        for (auto [x, y] : {std::pair{k, 0}, {k, MapSize - 1}, {0, k}, {MapSize - 1, k}})
            ASSERT_EQ(cellAt(*city.map, x, y), (MapCell{255, 17, Visible, 0, 0})) << x << "," << y;
}

}  // namespace
}  // namespace hc
