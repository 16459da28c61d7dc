#include "packtool/pack_tool.h"

#include <gtest/gtest.h>

#include <tuple>
#include <png.h>


#include "assets/graphics_pack.h"
#include "draw/palette.h"
#include "pack_test_support.h"

namespace hc {
namespace {

using namespace testing_assets;

void writeRgbPng(const std::string& path, int height, const std::vector<uint8_t>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION, image.width = 640, image.height = height, image.format = PNG_FORMAT_RGB;
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr));
}

std::vector<uint8_t> rgbOf(const artgen::Picture& picture) {
    std::vector<uint8_t> rgb;
    for (uint8_t index : picture.pixels) rgb.insert(rgb.end(), BasePalette[index], BasePalette[index] + 3);
    return rgb;
}

// Unpacking a pack into pictures and packing them again gives the same stream; an RGB
// picture of palette colours serves as well as a paletted one; a picture of the wrong
// size, with a colour off the palette, or missing is refused, naming it.
TEST(PackTool, EncodeUnpackAndPackRoundTripAndRefuseBadPictures) {
    TempDir dir("tool");
    SyntheticPictures pictures;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(artgen::encodePack(pictures.vehicles, pictures.walls, pictures.sheet, bytes));
    bytes.push_back(0);  // a partial record for the warning
    writeBytes(dir.file("in.pak"), bytes);
    std::string error, warning;
    ASSERT_TRUE(packtool::unpackPack(dir.file("in.pak"), dir.path(), &error, &warning)) << error;
    EXPECT_NE(warning.find("partial record"), std::string::npos);
    writeRgbPng(dir.file("walls.png"), 512, rgbOf(pictures.walls));
    ASSERT_TRUE(packtool::packPictures(dir.path(), dir.file("out.pak"), &error)) << error;
    std::vector<uint8_t> out(PackBufferSize);
    out.resize(decodePackFile(dir.file("out.pak"), out.data(), out.size()).length);
    EXPECT_EQ(out, pictures.stream());

    std::vector<uint8_t> rgb = rgbOf(pictures.vehicles);
    rgb[(3 * 640 + 5) * 3 + 1] ^= 1;  // one pixel one step off its palette colour
    for (auto [height, says] : {std::pair{125, "vehicles.png is 640 x 125"}, {126, "pixel (5, 3)"}, {0, "vehicles.png"}}) {
        std::filesystem::remove(dir.file("vehicles.png"));
        if (height > 0) writeRgbPng(dir.file("vehicles.png"), height, rgb);
        EXPECT_FALSE(packtool::packPictures(dir.path(), dir.file("bad.pak"), &error));
        EXPECT_NE(error.find(says), std::string::npos) << error;
        EXPECT_FALSE(std::filesystem::exists(dir.file("bad.pak")));
    }
    // The encoder: 600 equal pairs make runs of 256, 256 and 88; alternating pixels one run
    // of pairs; a lone odd byte is paired with 0. Pictures of the wrong size are refused.
    std::vector<uint8_t> stream(1200, 9);
    for (int i = 0; i < 20; ++i) stream.push_back(i % 2 ? 4 : 3);
    stream.push_back(77);
    EXPECT_EQ(artgen::encodeRuns(stream.data(), stream.size()), (std::vector<uint8_t>{0, 9, 9, 0, 9, 9, 88, 9, 9, 10, 3, 4, 1, 77, 0}));
    EXPECT_FALSE(artgen::encodePack(pictures.vehicles, artgen::Picture(639, 512), pictures.sheet, bytes, &error));
    EXPECT_NE(error.find("639 x 512"), std::string::npos) << error;
    // The contact sheet shows five textures at twice their size beside the sheet; a pack
    // that is short or missing is refused.
    ASSERT_TRUE(packtool::writeContactSheet(dir.file("in.pak"), dir.file("contact.png"), &error)) << error;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, dir.file("contact.png").c_str()));
    EXPECT_EQ(std::tuple(bool(image.width >= 5u * 256u), bool(image.height >= 1402u)), std::tuple(true, true)) << image.width << " x " << image.height;
    png_image_free(&image);
    writeBytes(dir.file("short.pak"), {1, 2, 3});
    EXPECT_FALSE(packtool::unpackPack(dir.file("short.pak"), dir.path(), &error));
    EXPECT_NE(error.find("too short"), std::string::npos) << error;
    EXPECT_FALSE(packtool::writeContactSheet(dir.file("none.pak"), dir.file("contact.png"), &error));
    EXPECT_NE(error.find("none.pak"), std::string::npos) << error;
}

}  // namespace
}  // namespace hc
