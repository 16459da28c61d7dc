#include "assets/graphics_pack.h"

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <cstring>
#include <memory>

#include <sys/stat.h>

#include "assets/colour_tables.h"
#include "assets/font.h"
#include "pack_test_support.h"

namespace hc {
namespace {

using namespace testing_assets;

// A run of n pairs (0 means 256), low byte first; a stream that would pass the buffer
// stops before the record that does not fit; a partial record is counted and ignored.
TEST(PackDecoder, RecordsExpandToRunsOfPixelPairs) {
    const struct { std::vector<uint8_t> records; size_t capacity; PackError error; std::vector<uint8_t> start; size_t length, trailing; } cases[] = {
        {{0, 0, 0}, 1024, PackError::Short, {0, 0, 0, 0}, 512, 0},
        {{1, 0x34, 0x12, 3, 5, 6, 0, 7, 8}, 1024, PackError::Short, {0x34, 0x12, 5, 6, 5, 6, 5, 6, 7, 8}, 520, 0},
        {{2, 1, 1, 2, 2, 2}, 7, PackError::Overflow, {1, 1, 1, 1}, 4, 0},
        {{2, 1, 1, 2, 2, 2}, 8, PackError::Short, {1, 1, 1, 1, 2, 2, 2, 2}, 8, 0},  // exactly full
        {{1, 9, 9, 200, 5}, 64, PackError::Short, {9, 9}, 2, 2},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> out(c.capacity + 64, 0xAA);  // a guard area past the capacity
        const PackDecodeResult r = decodePack(c.records.data(), c.records.size(), out.data(), c.capacity);
        EXPECT_EQ(std::tuple(r.error, r.length, r.trailingBytes, out[r.length - 1], bool(std::equal(c.start.begin(), c.start.end(), out.begin()))),
                  std::tuple(c.error, c.length, c.trailing, c.start.back(), true)) << c.capacity;
        EXPECT_TRUE(std::all_of(out.begin() + r.length, out.end(), [](uint8_t b) { return b == 0xAA; })) << "wrote past the end";
    }
}

const Rgb* basePalette() {
    static Rgb palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = basePaletteEntry(i);
    return palette;
}

// A pack of whole records for a stream of `decoded` bytes of one colour (an even
// number), sealed when it is long enough to hold a seal; `flip` changes one pixel after
// sealing.
std::vector<uint8_t> packOfLength(size_t decoded, bool flip = false) {
    std::vector<uint8_t> stream(decoded, 5);
    if (decoded >= PackStreamSize) sealPackStream(stream.data());
    if (flip) stream[PackLayoutSize / 2] ^= 1;
    return artgen::encodeRuns(stream.data(), stream.size());
}

// A pack decodes to exactly the pictures and their seal, or fails naming its fault and
// the path; a file that is not a regular one or is too large to be a pack is refused at
// once, before it is read.
TEST(PackFile, OnlyASealedPackOfTheExactLengthLoadsAndOthersAreNamedWithTheirFault) {
    TempDir dir("bad");
    std::vector<uint8_t> buffer(PackBufferSize);
    std::vector<uint8_t> random(PackStreamSize);
    for (size_t i = 0; i < random.size(); ++i) random[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    ASSERT_EQ(::mkfifo(dir.file("fifo.pak").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder.pak"));
    const struct { const char* name; std::vector<uint8_t> pack; PackError error; const char* says; } cases[] = {
        {"missing.pak", {}, PackError::Missing, "No such file"},
        {"short.pak", packOfLength(PackStreamSize - 2), PackError::Short, "1305606 bytes, 1305608"},
        {"empty.pak", {}, PackError::Short, "too short"},
        {"long.pak", packOfLength(PackStreamSize + 2), PackError::Overflow, "more than 1305608"},
        {"sealed.pak", packOfLength(PackStreamSize), PackError::None, ""},
        {"flipped.pak", packOfLength(PackStreamSize, true), PackError::Damaged, "damaged"},
        {"random.pak", artgen::encodeRuns(random.data(), random.size()), PackError::Damaged, "checksum"},
        {"huge.pak", std::vector<uint8_t>(PackFileLimit + 1, 1), PackError::Unreadable, "larger than 1958414 bytes"},
        {"fifo.pak", {}, PackError::Unreadable, "not a regular file"},
        {"folder.pak", {}, PackError::Unreadable, "not a regular file"}};
    for (const auto& c : cases) {
        const std::string path = dir.file(c.name);
        std::vector<uint8_t> pack = c.pack;
        pack.push_back(1);  // a partial record: warned about, not an error
        if (!c.pack.empty() || std::string(c.name) == "empty.pak") writeBytes(path, pack);
        const PackDecodeResult r = decodePackFile(path, buffer.data(), buffer.size());
        const std::string text = describePackError(path, r);
        EXPECT_EQ(r.error, c.error) << c.name << ": " << text;
        if (c.error == PackError::None) {
            EXPECT_EQ(std::tuple(text, r.length, r.trailingBytes), std::tuple("", PackStreamSize, 1u));
            continue;
        }
        EXPECT_NE(text.find(path), std::string::npos) << text;
        EXPECT_NE(text.find(c.says), std::string::npos) << text;
        if (c.error != PackError::Damaged && std::string(c.name) != "fifo.pak") continue;
        auto state = std::make_unique<GameState>();
        FontSet font;
        ConsoleCapture console;
        EXPECT_FALSE(loadGraphicsPack(*state, font, basePalette(), 1, path));
        EXPECT_EQ(console.lines, (std::vector<std::string>{"Extracting data, please wait", text})) << c.name;
        EXPECT_EQ(std::tuple(state->cockpitImage, font.glyphs[0], state->greyTable[0]), std::tuple(nullptr, nullptr, 0)) << c.name << ": no pictures, glyphs or tables";
    }
}

// The synthetic pack through the loader: the progress lines, every texel and image
// from its place in the pictures, the tables from the palette given, the pixel format.
TEST(PackLoader, CutsEveryPictureFromItsPlaceAndFollowsThePaletteAndFormatGiven) {
    TempDir dir("load");
    const std::string path = dir.file("graphics.pak");
    const std::vector<uint8_t> stream = SyntheticPictures().stream();
    std::vector<uint8_t> pack = artgen::encodeRuns(stream.data(), stream.size());
    pack.insert(pack.end(), {7, 7});  // a partial record
    writeBytes(path, pack);
    // The base palette with its greys 1..22 reversed: the tables follow the palette given.
    Rgb swapped[256];
    for (int i = 0; i < 256; ++i) swapped[i] = basePaletteEntry((i >= 1 && i <= 22) ? 23 - i : i);
    auto state = std::make_unique<GameState>();
    FontSet font;
    ConsoleCapture console;
    ASSERT_TRUE(loadGraphicsPack(*state, font, swapped, 4, path));
    EXPECT_EQ(console.lines, (std::vector<std::string>{
        "Extracting data, please wait", "Warning: the graphics pack " + path + " ends in a partial record of 2 bytes, which is ignored",
        "Loading textures", "Converting graphics data", "Loading additional graphics", "Creating color tables", "Just a moment..."}));
    EXPECT_EQ(state->greyTable[0], 22);  // the darkest grey now sits at 22
    auto expected = std::make_unique<GameState>();
    buildShadeTable(swapped, expected->shadeTable);
    EXPECT_EQ(std::memcmp(state->shadeTable, expected->shadeTable, sizeof expected->shadeTable), 0);
    // Vehicle sheets 2k + 1 and 2k + 2 side by side in bands of 42 rows (the last 128
    // columns unused); wall textures five to a band of 128 rows.
    for (int m = 1; m <= VehicleSheetCount; ++m)
        for (int i = 0; i < 42 * 256; ++i)
            ASSERT_EQ(state->vehicleSheets[m][i], coordinateCode(VehiclePicture, i % 256 + 256 * ((m - 1) % 2), i / 256 + 42 * ((m - 1) / 2))) << m;
    for (int n = 1; n <= WallTextureCount; ++n)
        for (int i = 0; i < 128 * 128; ++i)
            ASSERT_EQ(state->wallTextures[n][i], coordinateCode(WallPicture, i % 128 + 128 * ((n - 1) % 5), i / 128 + 128 * ((n - 1) / 5))) << n;
    ASSERT_NE(state->cockpitImage, nullptr);
    EXPECT_EQ(state->cockpitImage->bytesPerPixel, 4);
    EXPECT_EQ(getPixel(*state->cockpitImage, 3, 2), coordinateCode(SheetPicture, 3, 962));
    cutInterfaceImages(stream.data(), *state, font);  // again: replaces them (the sanitizer build sees leaks)
    struct Cut { const Image* image; int x1, y1, x2, y2; };
    std::vector<Cut> cuts = {{state->garageBackdrop, 0, 0, 639, 319}, {state->skyImage, 0, 320, 639, 559},
                             {state->menuBackdrop, 0, 560, 639, 959}, {state->cockpitImage, 0, 960, 639, 1139},
                             {state->titleImage, 0, 1140, 499, 1309}, {state->hudIcon, 502, 1142, 509, 1149},
                             {state->garageIcon, 320, 1360, 335, 1375}};
    // Portraits in a two-column strip: odd ones at x 512, even at 576, 64 rows apart.
    for (int k = 1, x = 512, y = 1140; k <= 8; ++k, x = k % 2 ? 512 : 576, y = 1140 + 64 * ((k - 1) / 2))
        cuts.push_back({state->passengerPortraits[k], x, y, x + 63, y + 63});
    for (int i = 0; i < 250; ++i) cuts.push_back({font.glyphs[i], i / 5 * 10, 1310 + i % 5 * 10, i / 5 * 10 + 9, 1319 + i % 5 * 10});
    for (size_t i = 0; i < cuts.size(); ++i) {
        const Cut& c = cuts[i];
        ASSERT_NE(c.image, nullptr) << i;
        ASSERT_EQ(std::tuple(c.image->width, c.image->height), std::tuple(c.x2 - c.x1 + 1, c.y2 - c.y1 + 1)) << i;
        for (int y = 0; y < c.image->height; ++y)
            for (int x = 0; x < c.image->width; ++x)
                ASSERT_EQ(getPixel(*c.image, x, y), coordinateCode(SheetPicture, c.x1 + x, c.y1 + y)) << i;
    }
    EXPECT_EQ(state->passengerPortraits[0], nullptr);
    releaseGraphicsPack(*state, font);
    EXPECT_EQ(std::tuple(state->cockpitImage, font.glyphs[0]), std::tuple(nullptr, nullptr));
}

TEST(GeneratedPack, LoadsCompletelyWithASeeThroughWindshield) {
    const std::string path = std::string(HC_DATA_DIR) + "/graphics.pak";
    auto state = std::make_unique<GameState>();
    FontSet font;
    ConsoleCapture console;
    ASSERT_TRUE(loadGraphicsPack(*state, font, basePalette(), 1, path)) << path << " (the game_data target builds it)";
    EXPECT_EQ(console.lines.size(), 6u) << "no warnings expected";
    // The street shows through the upper middle of the cockpit; no texture or sheet is blank.
    for (int i = 0; i < 45; ++i) EXPECT_EQ(getPixel(*state->cockpitImage, 280 + i / 5 * 10, i % 5 * 5), 0u) << i;
    auto drawn = [](const auto& texels) { return std::any_of(texels.begin(), texels.end(), [](uint8_t t) { return t; }); };
    for (int n = 1; n <= 20; ++n) EXPECT_EQ(std::tuple(bool(drawn(state->wallTextures[n])), bool(drawn(state->vehicleSheets[1 + n % 5]))), std::tuple(true, true)) << n;
    releaseGraphicsPack(*state, font);
}

}  // namespace
}  // namespace hc
