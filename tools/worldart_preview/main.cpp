// Writes the world art as PPM pictures in the game's palette (index 0 shows as magenta):
// walls.ppm, vehicles.ppm, sky.ppm, and shaded.ppm, the wall textures darkened as the
// world view darkens them with distance.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "picture.h"
#include "street.h"
#include "platform/screen.h"

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

// The shade table as the game builds it: colour c at brightness L/16, nearest palette
// colour by summed channel distance, skipping the interface colours.
std::vector<uint8_t> shadeTable() {
    std::vector<uint8_t> t(256 * 17, 255);
    for (int c = 1; c < 256; ++c)
        for (int l = 0; l <= 16; ++l) {
            int best = 999, bestI = 255;
            for (int i = 1; i < 256; ++i) {
                if (i >= 23 && i <= 27) continue;
                int d = 0;
                for (int k = 0; k < 3; ++k)
                    d += int(std::nearbyint(std::fabs(float(hc::BasePalette[c][k]) * float(l) / 16.0f -
                                                      float(hc::BasePalette[i][k]))));
                if (d < best) best = d, bestI = i;
            }
            t[size_t(c) * 17 + size_t(l)] = uint8_t(bestI);
        }
    return t;
}

}  // namespace

int main() {
    artgen::Picture vehicles(artgen::VehiclePictureWidth, artgen::VehiclePictureHeight);
    artgen::Picture walls(artgen::WallPictureWidth, artgen::WallPictureHeight);
    artgen::Picture sky(640, 240);
    artgen::drawWorldArt(vehicles, walls);
    artgen::drawSky(sky);
    bool ok = writePpm("walls.ppm", walls) && writePpm("vehicles.ppm", vehicles) && writePpm("sky.ppm", sky);

    // Each texture at five light levels, left to right: 16, 12, 8, 5, 3.
    const std::vector<uint8_t> shade = shadeTable();
    const int levels[5] = {16, 12, 8, 5, 3};
    artgen::Picture shaded(640, 128 * 20 / 5 * 5 / 4);
    artgen::Picture strip(640, 128 * 20);
    for (int n = 0; n < 20; ++n)
        for (int l = 0; l < 5; ++l)
            for (int y = 0; y < 128; ++y)
                for (int x = 0; x < 128; ++x) {
                    const uint8_t c = walls.at(128 * (n % 5) + x, 128 * (n / 5) + y);
                    strip.at(128 * l + x, 128 * n + y) = c ? shade[size_t(c) * 17 + size_t(levels[l])] : 0;
                }
    ok = writePpm("shaded.ppm", strip) && ok;
    (void)shaded;

    // Views from the driver's seat.
    struct View { float x, y, heading; };
    const View views[] = {{72, 20, 90}, {20, 70, 10}, {136, 110, 75}, {100, 72, -15}, {150, 150, 45}, {312, 311, 0}, {72, 500, 270}, {132, 20, 135}};
    int i = 0;
    for (const View& v : views) {
        artgen::Picture frame;
        preview::renderStreet(frame, walls, vehicles, sky, shade, v.x, v.y, v.heading);
        ok = writePpm("view" + std::to_string(i++) + ".ppm", frame) && ok;
    }
    return ok ? 0 : 1;
}
