#include "assets/graphics_pack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "assets/colour_tables.h"
#include "assets/font.h"
#include "pack_test_support.h"

namespace hc {
namespace {

using namespace testing_assets;

// Records in, bytes out: a run of n pairs (0 means 256), low byte first; a stream that
// would pass the buffer stops before the record that does not fit, writing nothing past
// it; a partial record at the end is counted and ignored.
TEST(PackDecoder, RecordsExpandToRunsOfPixelPairs) {
    struct Case {
        std::vector<uint8_t> records;
        size_t capacity;
        PackError error;
        std::vector<uint8_t> start;  // the first decoded bytes
        size_t length, trailing;
    };
    const Case cases[] = {
        {{0, 0, 0}, 1024, PackError::Short, {0, 0, 0, 0}, 512, 0},
        {{1, 0x34, 0x12, 3, 5, 6, 0, 7, 8}, 1024, PackError::Short, {0x34, 0x12, 5, 6, 5, 6, 5, 6, 7, 8}, 520, 0},
        {{0, 7, 8}, 1024, PackError::Short, {7, 8, 7, 8}, 512, 0},
        {{2, 1, 1, 2, 2, 2}, 7, PackError::Overflow, {1, 1, 1, 1}, 4, 0},
        {{2, 1, 1, 2, 2, 2}, 8, PackError::Short, {1, 1, 1, 1, 2, 2, 2, 2}, 8, 0},  // exactly full
        {{1, 9, 9, 200, 5}, 64, PackError::Short, {9, 9}, 2, 2},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out(c.capacity + 64, 0xAA);  // a guard area past the capacity
        const PackDecodeResult r = decodePack(c.records.data(), c.records.size(), out.data(), c.capacity);
        EXPECT_TRUE(r.error == c.error && r.length == c.length && r.trailingBytes == c.trailing) << c.capacity;
        EXPECT_TRUE(std::equal(c.start.begin(), c.start.end(), out.begin())) << c.capacity;
        EXPECT_TRUE(std::all_of(out.begin() + r.length, out.end(), [](uint8_t b) { return b == 0xAA; }));
        EXPECT_EQ(out[r.length - 1], c.start.back()) << "the last pair ends the run";
    }
}

// A pack of whole records decoding to exactly `decoded` bytes (an even number).
std::vector<uint8_t> packOfLength(size_t decoded) {
    std::vector<uint8_t> pack;
    for (size_t pairs = decoded / 2; pairs > 0; pairs -= std::min<size_t>(pairs, 256))
        pack.insert(pack.end(), {static_cast<uint8_t>(std::min<size_t>(pairs, 256) & 0xFF), 5, 5});
    return pack;
}

TEST(PackFile, SizesFromTheLayoutToTheBufferLoadAndOthersAreNamedWithTheirFault) {
    TempDir dir("bad");
    std::vector<uint8_t> buffer(PackBufferSize);
    struct Case { const char* name; long decoded; PackError error; const char* says; };  // decoded -1: no file
    const Case cases[] = {{"missing.pak", -1, PackError::Missing, "No such file"},
                          {"short.pak", PackLayoutSize - 2, PackError::Short, "1305598"},
                          {"empty.pak", 0, PackError::Short, "too short"},
                          {"long.pak", PackBufferSize + 2, PackError::Overflow, "too long"},
                          {"layout.pak", PackLayoutSize, PackError::None, ""},
                          {"buffer.pak", PackBufferSize, PackError::None, ""}};
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        if (c.decoded >= 0) {
            std::vector<uint8_t> pack = packOfLength(c.decoded);
            pack.push_back(1);  // a partial record: warned about, not an error
            writeBytes(path, pack);
        }
        const PackDecodeResult r = decodePackFile(path, buffer.data(), buffer.size());
        const std::string text = describePackError(path, r);
        EXPECT_EQ(r.error, c.error) << c.name;
        EXPECT_TRUE(c.error == PackError::None ? text.empty() && r.length == size_t(c.decoded) && r.trailingBytes == 1
                                               : text.find(path) != std::string::npos && text.find(c.says) != std::string::npos)
            << c.name << ": " << text;
    }
    // A folder opens on some systems but cannot be read as a pack.
    const PackError folder = decodePackFile(dir.path(), buffer.data(), buffer.size()).error;
    EXPECT_TRUE(folder == PackError::Missing || folder == PackError::Unreadable);
}

// Where single stream bytes end up, worked out from the layout: the vehicle picture's
// stream rows run from picture row 125 up, in bands of 42 rows holding sheets 2k + 1 and
// 2k + 2 side by side; the wall picture's from row 511 up, in bands of 128 rows holding
// five textures each.
TEST(PackCutting, StreamBytesLandInTheirTexels) {
    struct Case { size_t at; bool wall; int number, row, column; };
    const Case cases[] = {
        {0, false, 5, 41, 0},           {255, false, 5, 41, 255},     {256, false, 6, 41, 0},
        {511, false, 6, 41, 255},       {640 * 41, false, 5, 0, 0},   {640 * 42, false, 3, 41, 0},
        {640 * 125 + 300, false, 2, 0, 44},
        {80640, true, 16, 127, 0},      {80640 + 639, true, 20, 127, 127},
        {80640 + 640 * 128 + 130, true, 12, 127, 2},                  {408319, true, 5, 0, 127},
    };
    std::vector<uint8_t> stream(PackLayoutSize, 0);
    for (size_t row = 0; row < 126; ++row) std::fill_n(stream.begin() + 640 * row + 512, 128, 99);  // unused
    for (size_t i = 0; i < std::size(cases); ++i) stream[cases[i].at] = static_cast<uint8_t>(10 + i);
    auto state = std::make_unique<GameState>();
    cutVehicleSheets(stream.data(), *state);
    cutWallTextures(stream.data(), *state);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const uint8_t texel = c.wall ? state->wallTextures[c.number][c.row * 128 + c.column]
                                     : state->vehicleSheets[c.number][c.row * 256 + c.column];
        EXPECT_EQ(texel, 10 + i) << "stream byte " << c.at;
    }
    for (int m = 1; m <= VehicleSheetCount; ++m)
        EXPECT_EQ(std::count(state->vehicleSheets[m].begin(), state->vehicleSheets[m].end(), 99), 0) << m;
}

TEST(PackCutting, InterfaceImagesPortraitsAndGlyphsComeFromTheirRectangles) {
    const std::vector<uint8_t> stream = SyntheticPictures().stream();
    auto state = std::make_unique<GameState>();
    FontSet font;
    cutInterfaceImages(stream.data(), *state, font);
    struct Cut { const Image* image; int x1, y1, x2, y2; };
    std::vector<Cut> cuts = {
        {state->garageBackdrop, 0, 0, 639, 319}, {state->skyImage, 0, 320, 639, 559},
        {state->menuBackdrop, 0, 560, 639, 959}, {state->cockpitImage, 0, 960, 639, 1139},
        {state->titleImage, 0, 1140, 499, 1309}, {state->hudIcon, 502, 1142, 509, 1149},
        {state->garageIcon, 320, 1360, 335, 1375},
    };
    // Portraits in a two-column strip: odd ones at x 512, even at 576, 64 rows apart.
    for (int k = 1; k <= 8; ++k) {
        const int x = k % 2 ? 512 : 576, y = 1140 + 64 * ((k - 1) / 2);
        cuts.push_back({state->passengerPortraits[k], x, y, x + 63, y + 63});
    }
    for (int s = 0; s < 5; ++s)
        for (int g = 0; g < 50; ++g) cuts.push_back({font.glyphs[g * 5 + s], 10 * g, 1310 + 10 * s, 10 * g + 9, 1319 + 10 * s});
    for (size_t i = 0; i < cuts.size(); ++i) {
        const Cut& c = cuts[i];
        ASSERT_NE(c.image, nullptr) << i;
        ASSERT_TRUE(c.image->width == c.x2 - c.x1 + 1 && c.image->height == c.y2 - c.y1 + 1) << i;
        for (int y = 0; y < c.image->height; ++y)
            for (int x = 0; x < c.image->width; ++x)
                ASSERT_EQ(getPixel(*c.image, x, y), coordinateCode(SheetPicture, c.x1 + x, c.y1 + y)) << i;
    }
    EXPECT_EQ(state->passengerPortraits[0], nullptr);
    // Cutting again replaces the images (the sanitizer build's leak checker sees any that
    // pile up); releasing clears every pointer.
    cutInterfaceImages(stream.data(), *state, font);
    releaseGraphicsPack(*state, font);
    EXPECT_TRUE(state->cockpitImage == nullptr && font.glyphs[0] == nullptr);
}

const Rgb* basePalette() {
    static Rgb palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = basePaletteEntry(i);
    return palette;
}

TEST(PackLoader, WritesTheProgressLinesAndTakesThePaletteAndPixelFormatGiven) {
    TempDir dir("load");
    const std::string path = dir.file("graphics.pak");
    std::vector<uint8_t> pack = artgen::encodeRuns(SyntheticPictures().stream().data(), PackLayoutSize);
    pack.insert(pack.end(), {7, 7});  // a partial record
    writeBytes(path, pack);
    // The base palette with its greys 1..22 reversed: the tables must follow the palette
    // given, not a built-in one.
    Rgb swapped[256];
    for (int i = 0; i < 256; ++i) swapped[i] = basePaletteEntry((i >= 1 && i <= 22) ? 23 - i : i);
    auto state = std::make_unique<GameState>();
    FontSet font;
    ConsoleCapture console;
    ASSERT_TRUE(loadGraphicsPack(*state, font, swapped, 4, path));
    ASSERT_EQ(console.lines.size(), 7u);
    EXPECT_EQ(console.lines[1], "Warning: the graphics pack " + path + " ends in a partial record of 2 bytes, which is ignored");
    console.lines.erase(console.lines.begin() + 1);
    EXPECT_EQ(console.lines, (std::vector<std::string>{"Extracting data, please wait", "Loading textures",
                                                        "Converting graphics data", "Loading additional graphics",
                                                        "Creating color tables", "Just a moment..."}));
    EXPECT_EQ(state->wallTextures[16][127 * 128], coordinateCode(WallPicture, 0, 511));
    EXPECT_EQ(state->greyTable[0], 22);  // the darkest grey now sits at 22
    auto expected = std::make_unique<GameState>();
    buildShadeTable(swapped, expected->shadeTable);
    EXPECT_EQ(std::memcmp(state->shadeTable, expected->shadeTable, sizeof expected->shadeTable), 0);
    ASSERT_TRUE(state->cockpitImage && font.glyphs[249]);
    EXPECT_EQ(state->cockpitImage->bytesPerPixel, 4);
    EXPECT_EQ(getPixel(*state->cockpitImage, 3, 2), coordinateCode(SheetPicture, 3, 962));
    releaseGraphicsPack(*state, font);
}

TEST(PackLoader, BadPacksFailWithOneClearLineAndNoImages) {
    TempDir dir("loadbad");
    writeBytes(dir.file("short.pak"), packOfLength(1000));
    for (const std::string& path : {dir.file("missing.pak"), dir.file("short.pak")}) {
        auto state = std::make_unique<GameState>();
        FontSet font;
        ConsoleCapture console;
        EXPECT_FALSE(loadGraphicsPack(*state, font, basePalette(), 1, path));
        ASSERT_EQ(console.lines.size(), 2u);
        EXPECT_NE(console.lines[1].find(path), std::string::npos) << console.lines[1];
        EXPECT_TRUE(state->cockpitImage == nullptr && font.glyphs[0] == nullptr);
        EXPECT_EQ(state->greyTable[0], 0);  // the tables were not built either
    }
}

TEST(GeneratedPack, LoadsCompletelyWithASeeThroughWindshield) {
    const std::string path = std::string(HC_DATA_DIR) + "/graphics.pak";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " has not been generated";
    auto state = std::make_unique<GameState>();
    FontSet font;
    ConsoleCapture console;
    ASSERT_TRUE(loadGraphicsPack(*state, font, basePalette(), 1, path));
    EXPECT_EQ(console.lines.size(), 6u) << "no warnings expected for the generated pack";
    for (const Image* image : {state->cockpitImage, state->skyImage, state->hudIcon, state->titleImage,
                               state->menuBackdrop, state->garageBackdrop, state->garageIcon, state->passengerPortraits[8],
                               font.glyphs[249]})
        ASSERT_NE(image, nullptr);
    // The street shows through the upper middle of the cockpit.
    for (int x = 280; x <= 360; x += 10)
        for (int y = 0; y <= 20; y += 5) EXPECT_EQ(getPixel(*state->cockpitImage, x, y), 0u) << x << "," << y;
    // Drawn art everywhere else: no all-transparent texture or sheet.
    auto drawn = [](const auto& texels) { return std::any_of(texels.begin(), texels.end(), [](uint8_t t) { return t; }); };
    for (int n = 1; n <= 20; ++n) EXPECT_TRUE(drawn(state->wallTextures[n])) << "wall texture " << n;
    for (int m = 1; m <= 5; ++m) EXPECT_TRUE(drawn(state->vehicleSheets[m])) << "vehicle sheet " << m;
    releaseGraphicsPack(*state, font);
}

}  // namespace
}  // namespace hc
