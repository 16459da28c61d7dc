// Seven-segment read-outs and the instrument texts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "render/hud.h"

namespace hc {
namespace {

// The picture of an image: '#' where colour c is, '.' elsewhere, a string per row.
std::vector<std::string> picture(const Image& image, uint32_t c) {
    std::vector<std::string> rows(image.height, std::string(image.width, '.'));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (getPixel(image, x, y) == c) rows[y][x] = '#';
    return rows;
}

TEST(LcdSegments, EveryCharacterLightsItsStrokes) {
    const std::pair<const char*, int> masks[] = {
        {" ", 0},    {"0o", 63},  {"1i", 12}, {"2z", 118}, {"3", 94},   {"4", 77},   {"5s", 91},  {"6g", 123},
        {"7", 14},   {"8", 127},  {"9", 95},  {"_", 16},   {"a", 111},  {"b", 121},  {"c", 51},   {"d", 124},
        {"e", 115},  {"f", 99},   {"hk", 109}, {"j", 60},  {"l", 49},   {"m", 47},   {"n", 104},  {"p", 103},
        {"q", 79},   {"r", 96},   {"t", 113}, {"u", 61},   {"v", 60},   {"w", 56},   {"x", 100},  {"y", 93},
        {".,", 32},  {"AERZ-#!", 64}};  // capitals and the rest: the middle stroke only
    for (const auto& [chars, mask] : masks)
        for (const char* c = chars; *c; ++c) EXPECT_EQ(lcdSegmentMask(*c), mask) << *c;
    EXPECT_EQ(lcdSegmentMask('\0'), 64);
    // Each stroke in its place of the 6 x 9 cell, a cell every 7 pixels; ":" is two dots.
    Image* image = createImage(56, 9);
    fillImage(*image, 0);
    drawLcdText(*image, 0, 0, "8147cbr:", 9);
    const std::vector<std::string> expected = {
        ".####.................####...####.......................",
        "#....#......#.#....#......#.#......#....................",
        "#....#......#.#....#......#.#......#....................",
        "#....#......#.#....#......#.#......#...............#....",
        ".####..........####.................####...####.........",
        "#....#......#......#......#.#......#....#.#.............",
        "#....#......#......#......#.#......#....#.#........#....",
        "#....#......#......#......#.#......#....#.#.............",
        ".####........................####...####................",
    };
    EXPECT_EQ(picture(*image, 9), expected);
    // Characters that run off the image are cut, not written outside it (the sanitizer
    // build checks the writes): of "88" at (52, 6) only the first 8's top bar and upper
    // left stroke are left; text at (-20, -5) ends before the image begins.
    fillImage(*image, 0);
    drawLcdText(*image, 52, 6, "88", 6);
    drawLcdText(*image, -20, -5, "888", 6);
    EXPECT_EQ(picture(*image, 6)[6].substr(52) + picture(*image, 6)[7].substr(52), ".####...");
    destroyImage(image);
}

TEST(InstrumentText, PaddingClockTurboAndSpeed) {
    const std::pair<std::string, std::string> texts[] = {
        {zeroPad("7", 4), "0007"}, {zeroPad("", 2), "00"}, {zeroPad("123456", 4), "123456"}, {zeroPad("-5", 3), "0-5"},
        {clockText(12, 5.9), "12:05"}, {clockText(4, 0.0), "04:00"}, {clockText(0, 59.999), "00:59"},
        {clockText(123, 7.0), "123:07"},
        // Turbo: the first and last digit of the boost in tenths.
        {turboText(0.37f), "0.3"}, {turboText(0.0f), "0.0"}, {turboText(1.5f), "1.5"}, {turboText(12.3f), "1.3"},
        // Speed: floor(200 s), three digits; 0.06 in single precision is a little less.
        {speedText(0.5f, true, false), "100"}, {speedText(0.004f, true, false), "000"},
        {speedText(0.06f, true, false), "011"}, {speedText(2.0f, true, false), "400"},
        {speedText(0.5f, false, false), ""}, {speedText(0.5f, true, true), " r "}};
    for (const auto& [got, want] : texts) EXPECT_EQ(got, want);
    const int values[][2] = {{speedValue(0.5f, true, false), 100}, {speedValue(0.5f, true, true), 0},
                             {speedValue(0.5f, false, false), 0}, {speedValue(NAN, true, false), 0},
                             {speedValue(INFINITY, true, false), 99999}};
    for (const auto& v : values) EXPECT_EQ(v[0], v[1]);
}

TEST(InstrumentText, NeedleSweepsThreeQuartersClockwise) {
    // On screen y grows downwards, so a positive sine is below the pivot. The needle
    // rests 40 degrees below the left horizontal, stands straight up near 130 and ends
    // 50 degrees below the right horizontal at 270.
    for (auto [speed, cos, sin] : {std::tuple{0, -0.766, 0.643}, {130, 0.0, -1.0}, {270, 0.643, 0.766}, {-130, 0.0, -1.0}})
        EXPECT_TRUE(std::fabs(std::cos(needleAngle(speed)) - cos) < 2e-3 && std::fabs(std::sin(needleAngle(speed)) - sin) < 2e-3) << speed;
}

}  // namespace
}  // namespace hc
