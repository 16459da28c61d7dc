// Writes the world art as PPM pictures in the game's palette (index 0 shows as magenta):
// walls.ppm, vehicles.ppm, sky.ppm, shaded.ppm (the wall textures darkened as the world
// view darkens them with distance), and views of a generated city drawn by the game's
// own world view and map view from the freshly drawn art, cut as the pack loader cuts it.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "artgen/encode.h"
#include "assets/colour_tables.h"
#include "assets/font.h"
#include "assets/graphics_pack.h"
#include "city/city_generator.h"
#include "core/colours.h"
#include "core/random.h"
#include "draw/palette.h"
#include "picture.h"
#include "render/map_view.h"
#include "render/world_view.h"

namespace {

bool writePpm(const std::string& path, const artgen::Picture& p) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
    for (uint8_t c : p.pixels) std::fwrite(hc::BasePalette[c], 1, 3, f);
    std::fclose(f);
    return true;
}

bool writePpm(const std::string& path, const hc::Image& image) {
    artgen::Picture p(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) p.at(x, y) = *hc::pixelAddress(image, x, y);
    return writePpm(path, p);
}

// Views from the driver's seat of a generated city, and the map view round the start,
// drawn by the game's renderers with the art cut from a pack stream of these pictures.
bool writeViews(const artgen::Picture& vehicles, const artgen::Picture& walls) {
    artgen::Picture sheet(artgen::AssetSheetWidth, artgen::AssetSheetHeight);
    artgen::drawInterfaceArt(sheet);
    std::vector<uint8_t> stream;
    std::string error;
    if (!artgen::buildPackStream(vehicles, walls, sheet, stream, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    auto state = std::make_unique<hc::GameState>();
    hc::FontSet font;
    hc::Rgb palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = hc::basePaletteEntry(i);
    hc::buildShadeTable(palette, state->shadeTable);
    hc::cutWallTextures(stream.data(), *state);
    hc::cutVehicleSheets(stream.data(), *state);
    hc::cutInterfaceImages(stream.data(), *state, font);

    hc::CityMap* map = hc::newCityMap();
    hc::seedRandom(7700);
    hc::generateCityMap(*map, state->shadeTable);
    hc::ViewTables tables;
    hc::Shift shift;
    hc::initView(*map, tables, shift, hc::RenderWidth, hc::RenderHeight);
    hc::Image* frame = hc::createImage(hc::RenderWidth, hc::RenderHeight);
    struct Pose { float x, y, heading; };
    const Pose poses[] = {{1040, 1034, 0},  {1040, 1034, 900}, {1040, 1034, 1800}, {1040, 1034, 2700},
                          {20.5f, 1024.5f, 1800}, {1024.5f, 1024.5f, 450}, {1500, 700, 300}, {600, 1400, 2000}};
    bool ok = true;
    int i = 0;
    for (const Pose& pose : poses) {
        hc::PlayerCar player;
        player.x = pose.x;
        player.y = pose.y;
        player.heading = pose.heading;
        hc::rotateBody(player, 0);
        hc::fillImage(*frame, hc::ColourBlack);
        hc::renderWorldView({*map, tables, player, shift, *state, *frame});
        ok = writePpm("view" + std::to_string(i++) + ".ppm", *frame) && ok;
        if (i == 1) {
            hc::drawMapView(*map, player, *state, *frame);
            ok = writePpm("map.ppm", *frame) && ok;
        }
    }
    hc::destroyImage(frame);
    hc::releaseGraphicsPack(*state, font);
    hc::deleteCityMap(map);
    return ok;
}

}  // namespace

// Checks the properties the game relies on and prints every violation.
int checkArt(const artgen::Picture& walls, const artgen::Picture& vehicles, const artgen::Picture& sky) {
    int faults = 0;
    auto fault = [&](const char* what, int a, int b) {
        std::printf("fault: %s (%d, %d)\n", what, a, b);
        ++faults;
    };
    for (int n = 1; n <= 20; ++n) {
        const int ox = 128 * ((n - 1) % 5), oy = 128 * ((n - 1) / 5);
        const bool seeThrough = n == 16 || n == 18;
        int zeros = 0;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                const uint8_t c = walls.at(ox + x, oy + y);
                if (c == 0) ++zeros;
                if (c >= 23 && c <= 27) fault("interface colour in texture", n, c);
            }
        if (!seeThrough && zeros) fault("transparent texels in an opaque texture", n, zeros);
        if (seeThrough && !zeros) fault("see-through texture without gaps", n, 0);
        // Below the first drawn texel of a column nothing may be transparent.
        for (int x = 0; x < 128; ++x) {
            int y = 0;
            while (y < 128 && walls.at(ox + x, oy + y) == 0) ++y;
            for (; y < 128; ++y)
                if (walls.at(ox + x, oy + y) == 0) fault("hole under a drawn texel", n, x);
        }
        for (int x = 0; x < 128; ++x)
            if (walls.at(ox + x, oy + 112) == 0) fault("transparent foot row", n, x);
    }
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 16; ++x)
            if (walls.at(384 + x, 384 + y) != walls.at(384 + 112 + x, 384 + y)) fault("post stripes differ", x, y);
    for (int y = 0; y < vehicles.height; ++y)
        for (int x = 0; x < vehicles.width; ++x) {
            const uint8_t c = vehicles.at(x, y);
            if (x >= 512 && c) fault("unused vehicle columns drawn", x, y);
            if (c >= 23 && c <= 27) fault("interface colour in vehicle", x, y);
        }
    for (int m = 0; m < 6; ++m) {
        const int ox = 256 * (m % 2), oy = 42 * (m / 2);
        for (int view : {0, 64, 192})
            if (vehicles.at(ox + view, oy)) fault("vehicle corner not transparent", m + 1, view);
        int filled = 0;
        for (int y = 0; y < 42; ++y)
            for (int x = 0; x < 256; ++x) filled += vehicles.at(ox + x, oy + y) != 0;
        if (filled < 256 * 42 / 3) fault("vehicle sheet mostly empty", m + 1, filled);
    }
    int seamJumps = 0;
    for (int y = 0; y < sky.height; ++y)
        for (int x = 0; x < sky.width; ++x) {
            const uint8_t c = sky.at(x, y);
            if (c == 0) fault("transparent sky", x, y);
            if (c >= 23 && c <= 27) fault("interface colour in sky", x, y);
        }
    for (int y = 0; y < sky.height; ++y) {
        const uint8_t* a = hc::BasePalette[sky.at(639, y)];
        const uint8_t* b = hc::BasePalette[sky.at(0, y)];
        if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 60) ++seamJumps;
    }
    std::printf("sky rows with a jump across the seam: %d\n", seamJumps);
    return faults;
}

int main() {
    artgen::Picture vehicles(artgen::VehiclePictureWidth, artgen::VehiclePictureHeight);
    artgen::Picture walls(artgen::WallPictureWidth, artgen::WallPictureHeight);
    artgen::Picture sky(640, 240);
    artgen::drawWorldArt(vehicles, walls);
    artgen::drawSky(sky);
    bool ok = writePpm("walls.ppm", walls) && writePpm("vehicles.ppm", vehicles) && writePpm("sky.ppm", sky);

    // Each texture at five light levels, left to right: 16, 12, 8, 5, 3.
    auto shade = std::make_unique<uint8_t[][hc::ShadeLevels]>(256);
    hc::Rgb palette[256];
    for (int c = 0; c < 256; ++c) palette[c] = hc::basePaletteEntry(c);
    hc::buildShadeTable(palette, shade.get());
    const int levels[5] = {16, 12, 8, 5, 3};
    artgen::Picture strip(640, 128 * 20);
    for (int n = 0; n < 20; ++n)
        for (int l = 0; l < 5; ++l)
            for (int y = 0; y < 128; ++y)
                for (int x = 0; x < 128; ++x) {
                    const uint8_t c = walls.at(128 * (n % 5) + x, 128 * (n / 5) + y);
                    strip.at(128 * l + x, 128 * n + y) = c ? shade[c][levels[l]] : 0;
                }
    ok = writePpm("shaded.ppm", strip) && ok;
    ok = writeViews(vehicles, walls) && ok;
    int faults = checkArt(walls, vehicles, sky);
    // Drawing again must give the same pictures.
    artgen::Picture vehicles2(artgen::VehiclePictureWidth, artgen::VehiclePictureHeight, 9);
    artgen::Picture walls2(artgen::WallPictureWidth, artgen::WallPictureHeight, 9);
    artgen::Picture sky2(640, 240, 9);
    artgen::drawWorldArt(vehicles2, walls2);
    artgen::drawSky(sky2);
    if (vehicles2.pixels != vehicles.pixels || walls2.pixels != walls.pixels || sky2.pixels != sky.pixels) {
        std::printf("fault: a second drawing differs\n");
        ++faults;
    }
    std::printf("%d faults\n", faults);
    return ok && faults == 0 ? 0 : 1;
}
