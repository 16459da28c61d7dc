// Writes the world art as PPM pictures in the game's palette (index 0 shows as magenta):
// walls.ppm, vehicles.ppm, sky.ppm, and shaded.ppm, the wall textures darkened as the
// world view darkens them with distance.
#include <cmath>
#include <cstdlib>
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
    const View views[] = {{72, 20, 90}, {20, 70, 10}, {136, 110, 75}, {100, 72, -15}, {150, 150, 45}, {312, 311, 0}, {72, 500, 270}, {132, 20, 135}, {142, 72, 270}, {98, 53, 5}, {190, 57, 185}, {154, 312, 265}, {228, 160, 80}};
    int i = 0;
    for (const View& v : views) {
        artgen::Picture frame;
        preview::renderStreet(frame, walls, vehicles, sky, shade, v.x, v.y, v.heading);
        ok = writePpm("view" + std::to_string(i++) + ".ppm", frame) && ok;
    }
    artgen::Picture map;
    preview::renderMap(map, walls, shade, 200, 200);
    ok = writePpm("map.ppm", map) && ok;
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
