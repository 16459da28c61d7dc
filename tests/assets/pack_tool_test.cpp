#include "packtool/pack_tool.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

#include "artgen/encode.h"
#include "assets/graphics_pack.h"
#include "draw/palette.h"
#include "pack_test_support.h"

namespace hc {
namespace {

using namespace testing_assets;

std::vector<uint8_t> decodeAll(const std::vector<uint8_t>& pack, size_t capacity = PackBufferSize) {
    std::vector<uint8_t> out(capacity);
    const PackDecodeResult r = decodePack(pack.data(), pack.size(), out.data(), out.size());
    out.resize(r.length);
    return out;
}

TEST(PackEncoder, RunsRoundTripAndUseTheLongestRecords) {
    // 600 equal pairs: runs of 256, 256 and 88; then alternating pixels form one run of
    // pairs; then a lone odd byte, paired with 0.
    std::vector<uint8_t> stream(1200, 9);
    for (int i = 0; i < 20; ++i) stream.push_back(i % 2 ? 4 : 3);
    stream.push_back(77);
    const std::vector<uint8_t> records = artgen::encodeRuns(stream.data(), stream.size());
    const std::vector<uint8_t> expected = {0, 9, 9, 0, 9, 9, 88, 9, 9, 10, 3, 4, 1, 77, 0};
    EXPECT_EQ(records, expected);

    std::vector<uint8_t> decoded = decodeAll(records, 4096);
    ASSERT_EQ(decoded.size(), stream.size() + 1);
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), decoded.begin()));
    EXPECT_TRUE(artgen::encodeRuns(stream.data(), 0).empty());
}

TEST(PackEncoder, PicturesGoBottomRowFirstAndWrongSizesAreRefused) {
    SyntheticPictures pictures;
    std::vector<uint8_t> pack;
    std::string error;
    ASSERT_TRUE(artgen::encodePack(pictures.vehicles, pictures.walls, pictures.sheet, pack, &error));
    const std::vector<uint8_t> stream = decodeAll(pack);
    ASSERT_EQ(stream.size(), PackLayoutSize);
    EXPECT_EQ(stream, pictures.stream());
    EXPECT_EQ(stream[WallStreamStart + 641], coordinateCode(WallPicture, 1, 510));
    EXPECT_EQ(stream[PackLayoutSize - 1], coordinateCode(SheetPicture, 639, 0));

    artgen::Picture narrow(639, 512);
    EXPECT_FALSE(artgen::encodePack(pictures.vehicles, narrow, pictures.sheet, pack, &error));
    EXPECT_NE(error.find("639 x 512"), std::string::npos) << error;
}

void writeRgbPng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGB;
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr));
}

std::vector<uint8_t> rgbOf(const artgen::Picture& picture) {
    std::vector<uint8_t> rgb;
    for (uint8_t index : picture.pixels) rgb.insert(rgb.end(), BasePalette[index], BasePalette[index] + 3);
    return rgb;
}

struct ToolFixture : ::testing::Test {
    TempDir dir{"tool"};
    SyntheticPictures pictures;
    std::string pack = dir.file("in.pak");
    void SetUp() override {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(artgen::encodePack(pictures.vehicles, pictures.walls, pictures.sheet, bytes));
        bytes.push_back(0);  // a partial record for the warning
        writeBytes(pack, bytes);
    }
    std::vector<uint8_t> decodedFile(const std::string& name) {
        std::vector<uint8_t> out(PackBufferSize);
        const PackDecodeResult r = decodePackFile(dir.file(name), out.data(), out.size());
        out.resize(r.error == PackError::None ? r.length : 0);
        return out;
    }
};

TEST_F(ToolFixture, UnpackThenPackGivesTheSamePictures) {
    std::string error, warning;
    ASSERT_TRUE(packtool::unpackPack(pack, dir.path(), &error, &warning)) << error;
    EXPECT_NE(warning.find("partial record"), std::string::npos);
    ASSERT_TRUE(packtool::packPictures(dir.path(), dir.file("out.pak"), &error)) << error;
    const std::vector<uint8_t> before = decodedFile("in.pak");
    ASSERT_EQ(before.size(), PackLayoutSize);
    EXPECT_EQ(decodedFile("out.pak"), before);
    // An RGB picture whose every pixel is a palette colour is as good as a paletted one.
    writeRgbPng(dir.file("walls.png"), 640, 512, rgbOf(pictures.walls));
    ASSERT_TRUE(packtool::packPictures(dir.path(), dir.file("rgb.pak"), &error)) << error;
    EXPECT_EQ(decodedFile("rgb.pak"), before);
}

TEST_F(ToolFixture, PicturesOfTheWrongSizeOrOffThePaletteAreRefused) {
    std::string error;
    ASSERT_TRUE(packtool::unpackPack(pack, dir.path(), &error)) << error;

    writeRgbPng(dir.file("vehicles.png"), 640, 125, std::vector<uint8_t>(640 * 125 * 3, 0));
    EXPECT_FALSE(packtool::packPictures(dir.path(), dir.file("out.pak"), &error));
    EXPECT_NE(error.find("vehicles.png is 640 x 125"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pak")));

    std::vector<uint8_t> rgb = rgbOf(pictures.vehicles);
    rgb[(3 * 640 + 5) * 3 + 1] ^= 1;  // one pixel one step off its palette colour
    writeRgbPng(dir.file("vehicles.png"), 640, 126, rgb);
    EXPECT_FALSE(packtool::packPictures(dir.path(), dir.file("out.pak"), &error));
    EXPECT_NE(error.find("pixel (5, 3)"), std::string::npos) << error;
    EXPECT_NE(error.find("not in the palette"), std::string::npos) << error;

    std::filesystem::remove(dir.file("vehicles.png"));
    EXPECT_FALSE(packtool::packPictures(dir.path(), dir.file("out.pak"), &error));
    EXPECT_NE(error.find("vehicles.png"), std::string::npos) << error;
}

TEST_F(ToolFixture, ContactSheetAndBadPacks) {
    std::string error;
    const std::string contact = dir.file("contact.png");
    ASSERT_TRUE(packtool::writeContactSheet(pack, contact, &error)) << error;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, contact.c_str()));
    EXPECT_TRUE(image.width >= 5u * 256u && image.height >= 1402u) << "five textures at twice their size, the sheet";
    png_image_free(&image);

    writeBytes(dir.file("short.pak"), {1, 2, 3});
    EXPECT_FALSE(packtool::unpackPack(dir.file("short.pak"), dir.path(), &error));
    EXPECT_NE(error.find("too short"), std::string::npos) << error;
    EXPECT_FALSE(packtool::writeContactSheet(dir.file("none.pak"), contact, &error));
    EXPECT_NE(error.find("none.pak"), std::string::npos) << error;
}

}  // namespace
}  // namespace hc
