#include "platform/frame_convert.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace hc {
namespace {

// Palette indices become their colour words, row by row at the window's pitch; frames of
// colour words are copied as they are.
TEST(FrameConverter, IndicesBecomeTheirColourWordsAndWordsStay) {
    uint32_t words[256];
    for (uint32_t i = 0; i < 256; ++i) words[i] = 0xFF000000u | i << 16 | (255 - i);
    FrameConverter converter;
    converter.setPalette(words);
    Image* indexed = createImage(3, 2);
    for (int i = 0; i < 6; ++i) putPixel(*indexed, i % 3, i / 3, static_cast<uint32_t>(40 * i + 7));
    std::vector<uint32_t> out(2 * 4, 0xDEADBEEF);  // a pitch of four words: the fourth is left alone
    converter.convert(*indexed, reinterpret_cast<uint8_t*>(out.data()), 16);
    EXPECT_EQ(out, (std::vector<uint32_t>{words[7], words[47], words[87], 0xDEADBEEF, words[127], words[167], words[207], 0xDEADBEEF}));
    Image* wide = createImage(2, 1, 4);
    putPixel(*wide, 0, 0, 0x12345678), putPixel(*wide, 1, 0, 0x9ABCDEF0);
    converter.convert(*wide, reinterpret_cast<uint8_t*>(out.data()), 16);
    EXPECT_EQ(std::vector<uint32_t>(out.begin(), out.begin() + 3), (std::vector<uint32_t>{0x12345678, 0x9ABCDEF0, words[87]}));
    // Scaled by 1.5, each window pixel shows the frame pixel under its centre: columns 0 1 1 2.
    converter.convertScaled(*indexed, reinterpret_cast<uint8_t*>(out.data()), 16, PictureRect{0, 0, 4, 1, 1.5f});
    EXPECT_EQ(std::vector<uint32_t>(out.begin(), out.begin() + 4), (std::vector<uint32_t>{words[7], words[47], words[47], words[87]}));
    // A window within a hair of the frame's shape is filled to its edges, not letterboxed.
    const PictureRect near = letterbox(1, 1, 20001, 20000);
    EXPECT_EQ(std::tuple(near.x, near.width, near.height, near.scale), std::tuple(0, 20001, 20000, 20001.0f));
    destroyImage(indexed), destroyImage(wide);
}

}  // namespace
}  // namespace hc
