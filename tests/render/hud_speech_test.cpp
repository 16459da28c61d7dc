// The speech bubble: its box, its tail and the split of a line wider than the screen.
#include <gtest/gtest.h>

#include <string>

#include "hud_fixture.h"

namespace hc {
namespace {

using test::HudRig;

constexpr uint8_t Paper = 22, Ink = 255;

TEST(SpeechBubble, LongLineSplitsInTheMiddle) {
    std::string text;
    for (int k = 0; k < 70; ++k) text += static_cast<char>('a' + k % 26);
    const SpeechLines even = splitSpeech(text, 640);
    EXPECT_EQ(even.first, text.substr(0, 35) + "-");
    EXPECT_EQ(even.second, text.substr(35));
    // An odd length gives the larger half to the second line (35.5 rounds to 36).
    const SpeechLines odd = splitSpeech(text + "q", 640);
    EXPECT_EQ(odd.first, text.substr(0, 35) + "-");
    EXPECT_EQ(odd.second, text.substr(35) + "q");
    // 64 characters are exactly as wide as the screen: one line.
    EXPECT_TRUE(splitSpeech(std::string(64, 'a'), 640).second.empty());
    EXPECT_EQ(splitSpeech(std::string(65, 'a'), 640).second.size(), 32u);  // 32.5 rounds to even
    // The width that decides is the target's.
    const SpeechLines narrow = splitSpeech("hello there", 100);
    EXPECT_EQ(narrow.first, "hello-");
    EXPECT_EQ(narrow.second, " there");
    EXPECT_EQ(splitSpeech("", 640).first, "");
}

TEST(SpeechBubble, TwoLineBubbleIsCentredAndThirtySixWide) {
    HudRig rig;
    drawSpeechBubble(rig.font, *rig.target, -1, 240, std::string(70, 'b'));
    // Text area 360 x 20 from (140, 240): paper 5 pixels round it, the outline 1 inside.
    EXPECT_EQ(rig.pixel(135, 235), Paper);
    EXPECT_EQ(rig.pixel(505, 235), Paper);
    EXPECT_EQ(rig.pixel(134, 235), test::Background);
    EXPECT_EQ(rig.pixel(506, 250), test::Background);
    EXPECT_EQ(rig.pixel(136, 236), Ink);
    EXPECT_EQ(rig.pixel(504, 264), Ink);
    EXPECT_EQ(rig.pixel(320, 236), Ink);
    // Both lines in style 0: 35 b's and the hyphen, then 35 b's.
    EXPECT_EQ(rig.glyphAt(140, 240), "1/0");
    EXPECT_EQ(rig.glyphAt(490, 240), "44/0");
    EXPECT_EQ(rig.glyphAt(140, 250), "1/0");
    EXPECT_EQ(rig.glyphAt(480, 250), "1/0");
    EXPECT_EQ(rig.pixel(490, 250), Paper);
}

TEST(SpeechBubble, TailHangsFromTheLowerLeftCorner) {
    HudRig rig;
    drawSpeechBubble(rig.font, *rig.target, 100, 50, "hi");
    // Box (95, 45)-(125, 65); the tail starts on the outline's row 64.
    const int b = 64;
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(rig.pixel(95, b + i), Paper) << i;
        EXPECT_EQ(rig.pixel(96, b + i), Ink) << i;
        EXPECT_EQ(rig.pixel(106 - i, b + i), Ink) << i;
        if (i < 10) {
            EXPECT_EQ(rig.pixel(107 - i, b + i), i == 0 ? Ink : Paper) << i;
        }
        if (i >= 2) {
            EXPECT_EQ(rig.pixel(108 - i, b + i), test::Background) << i;
        }
    }
    EXPECT_EQ(rig.pixel(95, b + 11), test::Background);
    // Inside the tail, between its two edges, the paper.
    EXPECT_EQ(rig.pixel(100, b + 3), Paper);
}

TEST(SpeechBubble, DrawsSafelyAtAnyPosition) {
    HudRig rig;
    Image* small = createImage(40, 20);
    fillImage(*small, 0);
    drawSpeechBubble(rig.font, *small, -1, 5, "a line far wider than forty pixels");
    drawSpeechBubble(rig.font, *small, 35, 15, "edge");
    drawSpeechBubble(rig.font, *small, -300, -300, "far away");
    EXPECT_EQ(getPixel(*small, 0, 0), Paper);
    destroyImage(small);
    drawSpeechBubble(rig.font, *rig.target, 630, 470, "corner");
    EXPECT_EQ(rig.pixel(627, 467), Paper);
    EXPECT_EQ(rig.pixel(626, 467), Ink);
}

}  // namespace
}  // namespace hc
