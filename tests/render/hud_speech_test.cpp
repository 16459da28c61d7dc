// The speech bubble: its box, its tail and the split of a line wider than the screen.
#include <gtest/gtest.h>

#include <string>

#include "hud_fixture.h"

namespace hc {
namespace {

using test::HudRig;

constexpr uint8_t Paper = 22, Ink = 255;

TEST(SpeechBubble, ALineWiderThanTheTargetSplitsInTheMiddle) {
    std::string abc;
    for (int k = 0; k < 71; ++k) abc += static_cast<char>('a' + k % 26);
    const struct { std::string text; int width; std::string first, second; } cases[] = {
        {abc.substr(0, 70), 640, abc.substr(0, 35) + "-", abc.substr(35, 35)},
        // An odd length gives the larger half to the second line (35.5 rounds to 36, 32.5 to 32).
        {abc, 640, abc.substr(0, 35) + "-", abc.substr(35)},
        {std::string(65, 'a'), 640, std::string(33, 'a') + "-", std::string(32, 'a')},
        // 64 characters are exactly as wide as the screen: one line.
        {std::string(64, 'a'), 640, std::string(64, 'a'), ""},
        {"hello there", 100, "hello-", " there"},  // the width that decides is the target's
        {"", 640, "", ""},
    };
    for (const auto& c : cases) {
        const SpeechLines lines = splitSpeech(c.text, c.width);
        EXPECT_TRUE(lines.first == c.first && lines.second == c.second) << c.text;
    }
}

TEST(SpeechBubble, TwoLineBubbleIsCentredAndThirtySixWide) {
    HudRig rig;
    drawSpeechBubble(rig.font, *rig.target, -1, 240, std::string(70, 'b'));
    // Text area 360 x 20 from (140, 240): paper 5 pixels round it, the outline 1 inside.
    const struct { int x, y, colour; } probes[] = {{135, 235, Paper}, {505, 235, Paper}, {134, 235, test::Background}, {506, 250, test::Background},
                  {136, 236, Ink},   {504, 264, Ink},   {320, 236, Ink},
                  // Both lines in style 0: 35 b's and the hyphen, then 35 b's.
                  {140, 240, test::glyphColour(1, 0)}, {490, 240, test::glyphColour(44, 0)},
                  {140, 250, test::glyphColour(1, 0)}, {480, 250, test::glyphColour(1, 0)}, {490, 250, Paper}};
    for (const auto& p : probes) EXPECT_EQ(rig.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(SpeechBubble, TailHangsFromTheLowerLeftCorner) {
    HudRig rig;
    drawSpeechBubble(rig.font, *rig.target, 100, 50, "hi");
    // Box (95, 45)-(125, 65); the tail starts on the outline's row 64: paper from the
    // box's edge, ink on its left side and on its slanted edge, open above.
    const int b = 64;
    for (int i = 0; i <= 10; ++i) {
        EXPECT_TRUE(rig.pixel(95, b + i) == Paper && rig.pixel(96, b + i) == Ink && rig.pixel(106 - i, b + i) == Ink) << i;
        EXPECT_TRUE(i == 10 || rig.pixel(107 - i, b + i) == (i == 0 ? Ink : Paper)) << i;
        EXPECT_TRUE(i < 2 || rig.pixel(108 - i, b + i) == test::Background) << i;
    }
    EXPECT_TRUE(rig.pixel(95, b + 11) == test::Background && rig.pixel(100, b + 3) == Paper);
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
    EXPECT_TRUE(rig.pixel(627, 467) == Paper && rig.pixel(626, 467) == Ink);
}

}  // namespace
}  // namespace hc
