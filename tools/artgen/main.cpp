// The art generator: draws every picture of the graphics pack and writes the pack.
// Usage: artgen <output pack> [<icon folder>]. With an icon folder it also draws the
// game's icons there. The output is the same on every run.
#include <cstdio>
#include <string>
#include <vector>

#include "artgen/encode.h"
#include "artgen/icon_art.h"
#include "artgen/picture.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <output graphics pack> [<icon folder>]\n", argv[0]);
        return 2;
    }
    const std::string output = argv[1];

    artgen::Picture vehicles(artgen::VehiclePictureWidth, artgen::VehiclePictureHeight);
    artgen::Picture walls(artgen::WallPictureWidth, artgen::WallPictureHeight);
    artgen::Picture sheet(artgen::AssetSheetWidth, artgen::AssetSheetHeight);
    artgen::drawWorldArt(vehicles, walls);
    artgen::drawInterfaceArt(sheet);

    std::vector<uint8_t> pack;
    std::string error;
    if (!artgen::encodePack(vehicles, walls, sheet, pack, &error) ||
        !artgen::writeFileAtomically(output, pack, &error)) {
        std::fprintf(stderr, "artgen: %s\n", error.c_str());
        return 1;
    }
    std::printf("artgen: wrote %s (%zu bytes)\n", output.c_str(), pack.size());
    if (argc == 3) {
        artgen::Picture sky(640, 240), icon;
        artgen::drawSky(sky);
        artgen::drawIcon(vehicles, sky, icon);
        if (!artgen::writeIcons(icon, argv[2], &error)) {
            std::fprintf(stderr, "artgen: %s\n", error.c_str());
            return 1;
        }
        std::printf("artgen: wrote the icons in %s\n", argv[2]);
    }
    return 0;
}
