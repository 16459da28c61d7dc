// viewshot: renders the world view and/or the map view of a seeded city into a PNG.
//
//   viewshot [options] OUT.png
//     --seed N            city seed (default 7700)
//     --pos X Y           cab position in cells (default the start spot 1040 1034)
//     --heading H         tenths of a degree, 0 along +x, 900 along +y (default 0)
//     --place NAME        put the cab at a landmark of the city instead of --pos:
//                         enclosure | courtyard | square | parked | boundary | crossing
//     --view world|map|both  (default both, side by side)
//     --low               low detail        --engine   headlights on
//     --frame N           frame counter (pick-up squares blink on even frames)
//     --damage D          bodywork damage (0.3 or more breaks the headlights)
//     --pickup X Y        paint a 5 x 5 pick-up square round a cell
//     --pack PATH         graphics pack (default ../data/graphics.pak)
//     --synthetic         plain synthetic textures instead of the pack
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "assets/colour_tables.h"
#include "assets/font.h"
#include "assets/graphics_pack.h"
#include "city/city_generator.h"
#include "core/random.h"
#include "draw/image.h"
#include "draw/palette.h"
#include "render/map_view.h"
#include "render/world_view.h"

using namespace hc;

namespace {

struct Options {
    uint64_t seed = 7700;
    float x = 1040.0f, y = 1034.0f, heading = 0.0f;
    std::string place;
    std::string view = "both";
    bool low = false, engine = false, synthetic = false;
    long frame = 0;
    float damage = 0.0f;
    int pickupX = -1, pickupY = -1;
    std::string pack = defaultPackPath();
    std::string out;
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr, "viewshot: %s\nusage: viewshot [--seed N] [--pos X Y] [--heading H] [--place NAME] "
                         "[--view world|map|both] [--low] [--engine] [--frame N] [--damage D] [--pickup X Y] "
                         "[--pack PATH | --synthetic] OUT.png\n", why);
    std::exit(2);
}

double number(int& i, int argc, char** argv) {
    if (++i >= argc) usage("an option is missing its value");
    char* end = nullptr;
    const double value = std::strtod(argv[i], &end);
    if (end == argv[i] || *end != 0) usage("a value is not a number");
    return value;
}

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seed") o.seed = static_cast<uint64_t>(number(i, argc, argv));
        else if (a == "--pos") { o.x = static_cast<float>(number(i, argc, argv)); o.y = static_cast<float>(number(i, argc, argv)); }
        else if (a == "--heading") o.heading = static_cast<float>(number(i, argc, argv));
        else if (a == "--place" && i + 1 < argc) o.place = argv[++i];
        else if (a == "--view" && i + 1 < argc) o.view = argv[++i];
        else if (a == "--low") o.low = true;
        else if (a == "--engine") o.engine = true;
        else if (a == "--synthetic") o.synthetic = true;
        else if (a == "--frame") o.frame = static_cast<long>(number(i, argc, argv));
        else if (a == "--damage") o.damage = static_cast<float>(number(i, argc, argv));
        else if (a == "--pickup") { o.pickupX = static_cast<int>(number(i, argc, argv)); o.pickupY = static_cast<int>(number(i, argc, argv)); }
        else if (a == "--pack" && i + 1 < argc) o.pack = argv[++i];
        else if (!a.empty() && a[0] != '-' && o.out.empty()) o.out = a;
        else usage(("unknown option " + a).c_str());
    }
    if (o.out.empty()) usage("no output file given");
    if (o.view != "world" && o.view != "map" && o.view != "both") usage("--view takes world, map or both");
    if (!(o.heading >= 0.0f && o.heading < 3600.0f)) usage("--heading must lie in [0, 3600)");
    return o;
}

// Plain textures in the game's palette: brick-coloured walls with window rows, grey
// vehicles with dark wheels, a violet sky.
void syntheticArt(GameState& state, Image& sky) {
    for (int k = 1; k <= WallTextureCount; ++k) {
        for (int v = 0; v < WallTextureSize; ++v) {
            for (int u = 0; u < WallTextureSize; ++u) {
                const bool window = (v % 16) > 5 && (v % 16) < 12 && (u % 16) > 3 && (u % 16) < 12;
                state.wallTextures[k][v * WallTextureSize + u] =
                    static_cast<uint8_t>(window ? 224 + (k % 6) : 93 + (k * 5) % 50);
            }
        }
    }
    for (int m = 1; m <= VehicleSheetCount; ++m) {
        for (int v = 0; v < VehicleSheetHeight; ++v) {
            for (int u = 0; u < VehicleSheetWidth; ++u) {
                uint8_t t = static_cast<uint8_t>(10 + m);
                if (v > 34 && (u % 16 < 4 || u % 16 > 11)) t = 2;
                if (v < 8 + (m == 5 ? 0 : 6)) t = 0;
                state.vehicleSheets[m][v * VehicleSheetWidth + u] = t;
            }
        }
    }
    for (int r = 0; r < 240; ++r)
        for (int c = 0; c < 640; ++c) *pixelAddress(sky, c, r) = static_cast<uint8_t>(r < 200 ? 47 + r / 15 : 170);
    state.skyImage = &sky;
}

// A point of a district's unmirrored layout, with a heading, moved by its mirrors.
void placeInDistrict(const CityPlan& plan, int i, int j, float lx, float ly, float heading, Options& o) {
    const int mirror = plan.mirror[i][j];
    if (mirror & 1) { lx = 256.0f - lx; heading = std::fmod(5400.0f - heading, 3600.0f); }
    if (mirror & 2) { ly = 256.0f - ly; heading = std::fmod(3600.0f - heading, 3600.0f); }
    o.x = static_cast<float>(DistrictSize * i) + lx;
    o.y = static_cast<float>(DistrictSize * j) + ly;
    o.heading = heading;
}

bool findLandmark(const CityPlan& plan, Options& o) {
    if (o.place == "boundary") { o.x = 20.5f; o.y = 1024.5f; o.heading = 1800.0f; return true; }
    if (o.place == "crossing") { o.x = 1024.5f; o.y = 1024.5f; o.heading = 450.0f; return true; }
    const int wanted = o.place == "square" ? 1 : o.place == "courtyard" ? 2 : (o.place == "enclosure" || o.place == "parked") ? 4 : 0;
    if (wanted == 0) return false;
    for (int i = 1; i < DistrictsPerSide - 1; ++i) {
        for (int j = 1; j < DistrictsPerSide - 1; ++j) {
            if (plan.lotsX[i][j] != wanted || plan.lotsY[i][j] != wanted) continue;
            if (o.place == "square") placeInDistrict(plan, i, j, 128.0f, 2.5f, 900.0f, o);        // up the driveway
            if (o.place == "courtyard") placeInDistrict(plan, i, j, 2.5f, 56.0f, 0.0f, o);       // facing the gate
            if (o.place == "enclosure") placeInDistrict(plan, i, j, 66.5f, 6.5f, 1080.0f, o);    // the kerbside fence
            if (o.place == "parked") placeInDistrict(plan, i, j, 146.5f, 74.5f, 0.0f, o);       // behind the car
            return true;
        }
    }
    return false;
}

bool writePng(const std::string& path, const Image& image, const uint8_t palette[256][3]) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {palette[i][0], palette[i][1], palette[i][2]};
    png_set_PLTE(png, info, colours, 256);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) png_write_row(png, pixelAddress(image, 0, y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o = parse(argc, argv);
    auto state = std::make_unique<GameState>();
    FontSet font;
    Image* sky = createImage(640, 240);
    if (o.synthetic) {
        Rgb palette[256];
        for (int i = 0; i < 256; ++i) palette[i] = {BasePalette[i][0], BasePalette[i][1], BasePalette[i][2]};
        buildShadeTable(palette, state->shadeTable);
        syntheticArt(*state, *sky);
    } else {
        Rgb palette[256];
        for (int i = 0; i < 256; ++i) palette[i] = {BasePalette[i][0], BasePalette[i][1], BasePalette[i][2]};
        if (!loadGraphicsPack(*state, font, palette, 1, o.pack)) {
            std::fprintf(stderr, "viewshot: cannot use the graphics pack %s (try --synthetic)\n", o.pack.c_str());
            return 1;
        }
    }

    CityMap* map = newCityMap();
    CityPlan plan;
    seedRandom(o.seed);
    generateCityMap(*map, state->shadeTable, &plan);
    if (!o.place.empty() && !findLandmark(plan, o)) {
        std::fprintf(stderr, "viewshot: no %s in the city of seed %llu\n", o.place.c_str(),
                     static_cast<unsigned long long>(o.seed));
        return 1;
    }
    if (!(o.x >= 1.0f && o.y >= 1.0f && o.x < MapSize - 1 && o.y < MapSize - 1)) usage("--pos must lie inside the city");
    if (o.pickupX > 2 && o.pickupY > 2 && o.pickupX < MapSize - 3 && o.pickupY < MapSize - 3) {
        for (int x = o.pickupX - 2; x <= o.pickupX + 2; ++x)
            for (int y = o.pickupY - 2; y <= o.pickupY + 2; ++y) cellAt(*map, x, y).flags |= PickupMark;
    }

    ViewTables tables;
    Shift shift;
    initView(*map, tables, shift, RenderWidth, RenderHeight);
    shift.lowDetail = o.low ? FlagOn : FlagOff;
    shift.engineRunning = o.engine ? FlagOn : FlagOff;
    shift.frameCounter = o.frame;
    shift.damage[1] = o.damage;
    PlayerCar player;
    player.x = o.x;
    player.y = o.y;
    player.heading = o.heading;
    rotateBody(player, 0);

    const bool both = o.view == "both";
    Image* shot = createImage(both ? 2 * RenderWidth : RenderWidth, RenderHeight);
    Image* frame = createImage(RenderWidth, RenderHeight);
    if (o.view != "map") {
        fillImage(*frame, 255);
        renderWorldView({*map, tables, player, shift, *state, *frame});
        copyRect(*frame, 0, 0, RenderWidth, RenderHeight, *shot, 0, 0);
    }
    if (o.view != "world") {
        drawMapView(*map, player, *state, *frame);
        copyRect(*frame, 0, 0, RenderWidth, RenderHeight, *shot, both ? RenderWidth : 0, 0);
    }
    std::printf("seed %llu, cab at (%.2f, %.2f) heading %.1f\n", static_cast<unsigned long long>(o.seed), o.x, o.y,
                o.heading);
    const bool written = writePng(o.out, *shot, BasePalette);
    if (!written) std::fprintf(stderr, "viewshot: could not write %s\n", o.out.c_str());
    destroyImage(frame);
    destroyImage(shot);
    releaseGraphicsPack(*state, font);
    destroyImage(sky);
    deleteCityMap(map);
    return written ? 0 : 1;
}
