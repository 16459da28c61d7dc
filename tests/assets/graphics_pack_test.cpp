#include "assets/graphics_pack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <memory>

#include "assets/colour_tables.h"
#include "assets/font.h"
#include "pack_test_support.h"

namespace hc {
namespace {

using namespace testing_assets;

// ---- Decoding records -------------------------------------------------------------

struct Decoded {
    PackDecodeResult result;
    std::vector<uint8_t> bytes;  // the capacity plus a guard area that must stay 0xAA
};

Decoded decodeWithGuard(const std::vector<uint8_t>& pack, size_t capacity) {
    Decoded d;
    d.bytes.assign(capacity + 64, 0xAA);
    d.result = decodePack(pack.data(), pack.size(), d.bytes.data(), capacity);
    return d;
}

TEST(PackDecoder, RecordsExpandToRunsOfPixelPairs) {
    // A run length of 0 stands for 256 pairs.
    Decoded zero = decodeWithGuard({0, 0x00, 0x00}, 1024);
    EXPECT_EQ(zero.result.length, 512u);
    EXPECT_TRUE(std::all_of(zero.bytes.begin(), zero.bytes.begin() + 512, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(zero.bytes[512], 0xAA);

    // Low byte first; a run of 1 gives exactly 2 pixels; records follow each other.
    Decoded mixed = decodeWithGuard({1, 0x34, 0x12, 3, 0x05, 0x06, 0, 0x07, 0x08}, 1024);
    ASSERT_EQ(mixed.result.length, 2u + 6u + 512u);
    EXPECT_EQ(mixed.bytes[0], 0x34);
    EXPECT_EQ(mixed.bytes[1], 0x12);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(mixed.bytes[2 + 2 * p], 0x05);
        EXPECT_EQ(mixed.bytes[3 + 2 * p], 0x06);
    }
    EXPECT_EQ(mixed.bytes[8], 0x07);
    EXPECT_EQ(mixed.bytes[8 + 511], 0x08);
    EXPECT_EQ(mixed.bytes[8 + 512], 0xAA);
}

TEST(PackDecoder, StreamsBeyondTheBufferStopWithoutWritingPastIt) {
    // The second record would need 4 more bytes where only 3 are left.
    Decoded d = decodeWithGuard({2, 1, 1, 2, 2, 2}, 7);
    EXPECT_EQ(d.result.error, PackError::Overflow);
    EXPECT_EQ(d.result.length, 4u);
    EXPECT_TRUE(std::all_of(d.bytes.begin() + 4, d.bytes.end(), [](uint8_t b) { return b == 0xAA; }));

    // Filling the buffer exactly is not an overflow (only too short for a layout).
    Decoded exact = decodeWithGuard({2, 1, 1, 2, 2, 2}, 8);
    EXPECT_EQ(exact.result.error, PackError::Short);
    EXPECT_EQ(exact.result.length, 8u);
    EXPECT_EQ(exact.bytes[8], 0xAA);
}

TEST(PackDecoder, PartialRecordAtTheEndIsCountedAndIgnored) {
    Decoded d = decodeWithGuard({1, 9, 9, 200, 5}, 64);
    EXPECT_EQ(d.result.length, 2u);
    EXPECT_EQ(d.result.trailingBytes, 2u);
    EXPECT_EQ(d.bytes[2], 0xAA);
}

// A pack of whole records decoding to exactly `decoded` bytes (an even number).
std::vector<uint8_t> packOfLength(size_t decoded, uint8_t colour = 5) {
    std::vector<uint8_t> pack;
    size_t pairs = decoded / 2;
    while (pairs > 0) {
        const size_t run = std::min<size_t>(pairs, 256);
        pack.insert(pack.end(), {static_cast<uint8_t>(run & 0xFF), colour, colour});
        pairs -= run;
    }
    return pack;
}

// ---- Pack files -------------------------------------------------------------------

TEST(PackFile, BadPacksAreNamedWithTheirFault) {
    TempDir dir("bad");
    std::vector<uint8_t> buffer(PackBufferSize);

    const std::string missing = dir.file("nowhere.pak");
    PackDecodeResult r = decodePackFile(missing, buffer.data(), buffer.size());
    EXPECT_EQ(r.error, PackError::Missing);
    std::string text = describePackError(missing, r);
    EXPECT_NE(text.find(missing), std::string::npos) << text;
    EXPECT_NE(text.find("No such file"), std::string::npos) << text;

    // A folder opens on some systems but cannot be read as a pack.
    r = decodePackFile(dir.path(), buffer.data(), buffer.size());
    EXPECT_TRUE(r.error == PackError::Missing || r.error == PackError::Unreadable);

    const std::string shortPack = dir.file("short.pak");
    writeBytes(shortPack, packOfLength(PackLayoutSize - 2));
    r = decodePackFile(shortPack, buffer.data(), buffer.size());
    EXPECT_EQ(r.error, PackError::Short);
    EXPECT_EQ(r.length, PackLayoutSize - 2);
    text = describePackError(shortPack, r);
    EXPECT_NE(text.find(shortPack), std::string::npos);
    EXPECT_NE(text.find("1305598"), std::string::npos) << text;

    const std::string longPack = dir.file("long.pak");
    writeBytes(longPack, packOfLength(PackBufferSize + 2));
    r = decodePackFile(longPack, buffer.data(), buffer.size());
    EXPECT_EQ(r.error, PackError::Overflow);
    EXPECT_LE(r.length, PackBufferSize);
    EXPECT_NE(describePackError(longPack, r).find("too long"), std::string::npos);

    const std::string empty = dir.file("empty.pak");
    writeBytes(empty, {});
    EXPECT_EQ(decodePackFile(empty, buffer.data(), buffer.size()).error, PackError::Short);
}

TEST(PackFile, SizesBetweenTheLayoutAndTheBufferAreAccepted) {
    TempDir dir("sizes");
    std::vector<uint8_t> buffer(PackBufferSize);
    for (size_t size : {PackLayoutSize, PackBufferSize}) {
        const std::string path = dir.file("pack.pak");
        std::vector<uint8_t> pack = packOfLength(size);
        pack.push_back(1);  // a partial record: warned about, not an error
        writeBytes(path, pack);
        const PackDecodeResult r = decodePackFile(path, buffer.data(), buffer.size());
        EXPECT_EQ(r.error, PackError::None) << size;
        EXPECT_EQ(r.length, size);
        EXPECT_EQ(r.trailingBytes, 1u);
    }
}

TEST(PackFile, ReadingInChunksMatchesDecodingInMemory) {
    // Records of varied runs and pairs, many more than one read chunk holds.
    std::vector<uint8_t> pack;
    uint32_t seed = 12345;
    size_t decoded = 0;
    while (decoded < PackLayoutSize) {
        seed = seed * 1103515245u + 12345u;
        const uint8_t run = static_cast<uint8_t>(1 + (seed >> 24) % 8);
        pack.insert(pack.end(), {run, static_cast<uint8_t>(seed >> 8), static_cast<uint8_t>(seed >> 16)});
        decoded += 2u * run;
    }
    TempDir dir("chunks");
    const std::string path = dir.file("pack.pak");
    writeBytes(path, pack);
    std::vector<uint8_t> fromFile(PackBufferSize), inMemory(PackBufferSize);
    const PackDecodeResult a = decodePackFile(path, fromFile.data(), fromFile.size());
    const PackDecodeResult b = decodePack(pack.data(), pack.size(), inMemory.data(), inMemory.size());
    ASSERT_EQ(a.error, b.error);
    ASSERT_EQ(a.length, b.length);
    EXPECT_EQ(a.length, decoded);
    EXPECT_TRUE(std::equal(fromFile.begin(), fromFile.begin() + a.length, inMemory.begin()));
}

// ---- Cutting ------------------------------------------------------------------------

std::vector<uint8_t> syntheticStream() {
    SyntheticPictures pictures;
    std::vector<uint8_t> stream;
    artgen::buildPackStream(pictures.vehicles, pictures.walls, pictures.sheet, stream);
    return stream;
}

TEST(PackCutting, StreamBytesLandInTheDocumentedTexels) {
    std::vector<uint8_t> stream(PackLayoutSize, 0);
    stream[0] = 11;        // bottom-left of vehicle sheet 5
    stream[255] = 12;      // bottom-right of vehicle sheet 5
    stream[256] = 13;      // bottom-left of vehicle sheet 6
    std::fill(stream.begin() + 512, stream.begin() + 640, 99);  // unused columns
    stream[80639] = 14;    // top row of the vehicle picture, column 639: unused
    stream[80640 - 640] = 15;  // top-left of vehicle sheet 1
    stream[80640] = 16;    // texel (127, 0) of wall texture 16
    stream[408319] = 17;   // texel (0, 127) of wall texture 5
    auto state = std::make_unique<GameState>();
    cutVehicleSheets(stream.data(), *state);
    cutWallTextures(stream.data(), *state);

    EXPECT_EQ(state->vehicleSheets[5][41 * 256 + 0], 11);
    EXPECT_EQ(state->vehicleSheets[5][41 * 256 + 255], 12);
    EXPECT_EQ(state->vehicleSheets[6][41 * 256 + 0], 13);
    EXPECT_EQ(state->vehicleSheets[1][0], 15);
    EXPECT_EQ(state->wallTextures[16][127 * 128 + 0], 16);
    EXPECT_EQ(state->wallTextures[5][0 * 128 + 127], 17);
    for (int m = 1; m <= VehicleSheetCount; ++m) {
        for (uint8_t texel : state->vehicleSheets[m]) {
            ASSERT_NE(texel, 99) << "sheet " << m << " holds an unused column";
            ASSERT_NE(texel, 14);
        }
    }
}

TEST(PackCutting, SheetsAndTexturesComeFromTheirPictureBands) {
    const std::vector<uint8_t> stream = syntheticStream();
    auto state = std::make_unique<GameState>();
    cutVehicleSheets(stream.data(), *state);
    cutWallTextures(stream.data(), *state);
    for (int m = 1; m <= 6; ++m) {
        const int band = (m - 1) / 2, left = 256 * ((m - 1) % 2);
        for (int row = 0; row < 42; ++row)
            for (int col = 0; col < 256; ++col)
                ASSERT_EQ(state->vehicleSheets[m][row * 256 + col],
                          coordinateCode(VehiclePicture, left + col, 42 * band + row))
                    << "sheet " << m << " texel " << row << "," << col;
    }
    for (int n = 1; n <= 20; ++n) {
        const int band = (n - 1) / 5, left = 128 * ((n - 1) % 5);
        for (int row = 0; row < 128; ++row)
            for (int col = 0; col < 128; ++col)
                ASSERT_EQ(state->wallTextures[n][row * 128 + col],
                          coordinateCode(WallPicture, left + col, 128 * band + row))
                    << "texture " << n << " texel " << row << "," << col;
    }
}

// Every pixel of the image equals the asset sheet's pixel at (x1 + x, y1 + y).
void expectCutFrom(const Image* image, int x1, int y1, int x2, int y2, const char* what) {
    ASSERT_NE(image, nullptr) << what;
    ASSERT_EQ(image->width, x2 - x1 + 1) << what;
    ASSERT_EQ(image->height, y2 - y1 + 1) << what;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            ASSERT_EQ(getPixel(*image, x, y), coordinateCode(SheetPicture, x1 + x, y1 + y))
                << what << " pixel " << x << "," << y;
}

TEST(PackCutting, InterfaceImagesPortraitsAndGlyphsComeFromTheirRectangles) {
    const std::vector<uint8_t> stream = syntheticStream();
    auto state = std::make_unique<GameState>();
    FontSet font;
    cutInterfaceImages(stream.data(), *state, font);

    expectCutFrom(state->garageBackdrop, 0, 0, 639, 319, "garage backdrop");
    expectCutFrom(state->skyImage, 0, 320, 639, 559, "sky");
    expectCutFrom(state->menuBackdrop, 0, 560, 639, 959, "menu backdrop");
    expectCutFrom(state->cockpitImage, 0, 960, 639, 1139, "cockpit");
    expectCutFrom(state->titleImage, 0, 1140, 499, 1309, "title");
    expectCutFrom(state->hudIcon, 502, 1142, 509, 1149, "hud icon");
    expectCutFrom(state->garageIcon, 320, 1360, 335, 1375, "garage icon");
    const int portraitX[] = {0, 512, 576, 512, 576, 512, 576, 512, 576};
    const int portraitY[] = {0, 1140, 1140, 1204, 1204, 1268, 1268, 1332, 1332};
    for (int k = 1; k <= 8; ++k) {
        expectCutFrom(state->passengerPortraits[k], portraitX[k], portraitY[k], portraitX[k] + 63,
                      portraitY[k] + 63, "portrait");
    }
    EXPECT_EQ(state->passengerPortraits[0], nullptr);
    for (int s = 0; s < 5; ++s)
        for (int g = 0; g < 50; ++g)
            expectCutFrom(font.glyphs[g * 5 + s], 10 * g, 1310 + 10 * s, 10 * g + 9, 1319 + 10 * s,
                          "glyph");

    // Cutting again replaces the images (the leak checker of the sanitizer build sees
    // any that pile up); releasing clears every pointer.
    cutInterfaceImages(stream.data(), *state, font);
    EXPECT_NE(state->cockpitImage, nullptr);
    releaseGraphicsPack(*state, font);
    EXPECT_EQ(state->cockpitImage, nullptr);
    EXPECT_EQ(font.glyphs[0], nullptr);
}

// ---- The loader ------------------------------------------------------------------

Rgb basePalette[256];
const Rgb* palette() {
    for (int i = 0; i < 256; ++i) basePalette[i] = {BasePalette[i][0], BasePalette[i][1], BasePalette[i][2]};
    return basePalette;
}

TEST(PackLoader, WritesTheProgressLinesAndFillsEverything) {
    TempDir dir("load");
    const std::string path = dir.file("graphics.pak");
    std::vector<uint8_t> pack = artgen::encodeRuns(syntheticStream().data(), PackLayoutSize);
    pack.insert(pack.end(), {7, 7});  // a partial record
    writeBytes(path, pack);

    auto state = std::make_unique<GameState>();
    FontSet font;
    ConsoleCapture console;
    ASSERT_TRUE(loadGraphicsPack(*state, font, palette(), 1, path));
    ASSERT_EQ(console.lines.size(), 7u);
    EXPECT_EQ(console.lines[0], "Extracting data, please wait");
    EXPECT_NE(console.lines[1].find("partial record of 2 bytes"), std::string::npos) << console.lines[1];
    EXPECT_NE(console.lines[1].find(path), std::string::npos);
    EXPECT_EQ(console.lines[2], "Loading textures");
    EXPECT_EQ(console.lines[3], "Converting graphics data");
    EXPECT_EQ(console.lines[4], "Loading additional graphics");
    EXPECT_EQ(console.lines[5], "Creating color tables");
    EXPECT_EQ(console.lines[6], "Just a moment...");

    EXPECT_EQ(state->wallTextures[16][127 * 128], coordinateCode(WallPicture, 0, 511));
    EXPECT_EQ(state->vehicleSheets[5][41 * 256], coordinateCode(VehiclePicture, 0, 125));
    EXPECT_NE(font.glyphs[249], nullptr);
    EXPECT_NE(state->skyImage, nullptr);
    EXPECT_EQ(state->shadeTable[0][8], 255);
    EXPECT_EQ(state->greyTable[0], 1);
    releaseGraphicsPack(*state, font);
}

TEST(PackLoader, TakesThePaletteAndPixelFormatGiven) {
    TempDir dir("screen");
    const std::string path = dir.file("graphics.pak");
    writeBytes(path, artgen::encodeRuns(syntheticStream().data(), PackLayoutSize));
    // The base palette with its greys 1..22 reversed: the tables must follow the palette
    // given, not a built-in one.
    Rgb swapped[256];
    for (int i = 0; i < 256; ++i) swapped[i] = basePaletteEntry((i >= 1 && i <= 22) ? 23 - i : i);
    auto state = std::make_unique<GameState>();
    FontSet font;
    ConsoleCapture console;
    ASSERT_TRUE(loadGraphicsPack(*state, font, swapped, 4, path));
    EXPECT_EQ(state->greyTable[0], 22);  // the darkest grey now sits at 22
    auto expected = std::make_unique<GameState>();
    buildShadeTable(swapped, expected->shadeTable);
    EXPECT_EQ(std::memcmp(state->shadeTable, expected->shadeTable, sizeof expected->shadeTable), 0);
    ASSERT_NE(state->cockpitImage, nullptr);
    EXPECT_EQ(state->cockpitImage->bytesPerPixel, 4);
    EXPECT_EQ(getPixel(*state->cockpitImage, 3, 2), coordinateCode(SheetPicture, 3, 962));
    releaseGraphicsPack(*state, font);
}

TEST(PackLoader, BadPacksFailWithOneClearLineAndNoImages) {
    TempDir dir("loadbad");
    const std::string shortPack = dir.file("short.pak");
    writeBytes(shortPack, packOfLength(1000));
    for (const std::string& path : {dir.file("missing.pak"), shortPack}) {
        auto state = std::make_unique<GameState>();
        FontSet font;
        ConsoleCapture console;
        EXPECT_FALSE(loadGraphicsPack(*state, font, palette(), 1, path));
        ASSERT_EQ(console.lines.size(), 2u);
        EXPECT_EQ(console.lines[0], "Extracting data, please wait");
        EXPECT_NE(console.lines[1].find(path), std::string::npos) << console.lines[1];
        EXPECT_EQ(state->cockpitImage, nullptr);
        EXPECT_EQ(font.glyphs[0], nullptr);
        EXPECT_EQ(state->greyTable[0], 0);  // the tables were not built either
    }
}

// ---- The generated pack ------------------------------------------------------------

TEST(GeneratedPack, LoadsCompletelyWithASeeThroughWindshield) {
    const std::string path = std::string(HC_DATA_DIR) + "/graphics.pak";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " has not been generated";
    auto state = std::make_unique<GameState>();
    FontSet font;
    ConsoleCapture console;
    ASSERT_TRUE(loadGraphicsPack(*state, font, palette(), 1, path));
    EXPECT_EQ(console.lines.size(), 6u) << "no warnings expected for the generated pack";

    const Image* images[] = {state->cockpitImage, state->skyImage, state->hudIcon,
                             state->titleImage, state->menuBackdrop, state->garageBackdrop,
                             state->garageIcon};
    for (const Image* image : images) ASSERT_NE(image, nullptr);
    for (int k = 1; k <= 8; ++k) ASSERT_NE(state->passengerPortraits[k], nullptr) << k;
    for (const Image* glyph : font.glyphs) ASSERT_NE(glyph, nullptr);

    // The street shows through the upper middle of the cockpit.
    const Image& cockpit = *state->cockpitImage;
    for (int x = 280; x <= 360; x += 10)
        for (int y = 0; y <= 20; y += 5) EXPECT_EQ(getPixel(cockpit, x, y), 0u) << x << "," << y;
    // Drawn art everywhere else: no all-transparent texture or sheet.
    for (int n = 1; n <= 20; ++n) {
        EXPECT_TRUE(std::any_of(state->wallTextures[n].begin(), state->wallTextures[n].end(),
                                [](uint8_t t) { return t != 0; })) << "wall texture " << n;
    }
    for (int m = 1; m <= 5; ++m) {
        EXPECT_TRUE(std::any_of(state->vehicleSheets[m].begin(), state->vehicleSheets[m].end(),
                                [](uint8_t t) { return t != 0; })) << "vehicle sheet " << m;
    }
    releaseGraphicsPack(*state, font);
}

}  // namespace
}  // namespace hc
