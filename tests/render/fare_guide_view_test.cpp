// The newcomer's guide over the cockpit and over the map view.
#include "render/fare_guide_view.h"

#include <gtest/gtest.h>

#include "core/colours.h"
#include "render/map_view.h"

namespace hc {
namespace {

int countColour(const Image& image, uint32_t colour, int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) n += getPixel(image, x, y) == colour;
    return n;
}

TEST(FareGuideView, ArrowsPointToTheSquareInTheirOwnColours) {
    Image* image = createImage(640, 480);
    FontSet font;  // no glyphs: the texts draw in the built-in font
    PlayerCar car;
    car.x = 1000;
    car.y = 1000;
    rotateBody(car, 0);  // heading +x
    FareGuide guide;
    guide.active = true;
    guide.target.x = 1100;  // straight ahead
    guide.target.y = 1000;

    // Cockpit: a gold dart whose tip lies below the centre (ahead), nothing elsewhere.
    drawFareGuide(guide, car, font, *image);
    EXPECT_GT(countColour(*image, ColourGold, 300, 31, 340, 46), 20);
    EXPECT_EQ(countColour(*image, ColourGold, 300, 10, 340, 24), 0);
    EXPECT_EQ(countColour(*image, ColourGold, 0, 100, 639, 479), 0);

    // Map view: a box round the square's place on the screen, gold while it waits and
    // green for a destination. The map view shows the square's cell at the box's centre.
    const MapViewCell shown = mapViewCell(1000, 1000, 320, 240, 387, 273);
    EXPECT_EQ(shown.x, 1100);
    EXPECT_EQ(shown.y, 1000);
    for (const bool aboard : {false, true}) {
        fillImage(*image, 0);
        guide.aboard = aboard;
        drawMapGuide(guide, car, font, *image);
        const uint32_t colour = aboard ? ColourGreen : ColourGold;
        EXPECT_EQ(getPixel(*image, 387 - 8, 273), colour);
        EXPECT_EQ(getPixel(*image, 387 + 8, 273 + 8), colour);
        EXPECT_EQ(getPixel(*image, 330, 240), ColourBlack) << "the ring round the cab";
    }
    // Nothing to go to: only the ring.
    fillImage(*image, 0);
    guide.active = false;
    drawMapGuide(guide, car, font, *image);
    drawFareGuide(guide, car, font, *image);
    EXPECT_EQ(countColour(*image, ColourGold, 0, 0, 639, 200), 0);
    EXPECT_GT(countColour(*image, ColourGold, 300, 220, 340, 260), 40);
    destroyImage(image);
}

}  // namespace
}  // namespace hc
