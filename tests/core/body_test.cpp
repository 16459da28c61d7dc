#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include <cmath>

#include "core/body.h"
#include "core/tables.h"

using namespace hc;

// Entry i is taken at the single-precision running sum of the step, not at i times the
// step: it drifts a little, past pi by entry 1800, where sin turns negative.
TEST(Tables, EndsAndAccumulatedDrift) {
    EXPECT_EQ(std::tuple(CosTable[0], SinTable[0], bool(SinTable[1800] < 0.0f)), std::tuple(1.0f, 0.0f, true));
    EXPECT_NEAR(CosTable[3600], 1.0f, 1e-4);
    const double step = static_cast<double>(3.14159f) / 1800.0;
    for (int i : {900, 1800, 3000}) {
        const double drift = std::fabs(SinTable[i] - std::sin(i * step)) + std::fabs(CosTable[i] - std::cos(i * step));
        EXPECT_THAT(drift, testing::AllOf(testing::Gt(1e-6), testing::Lt(1e-4))) << i << " " << drift;
    }
}

// The step signs follow the table's signs: its pi falls short, so cos at 90 degrees is a
// tiny positive value and gives +1, and a zero gives -0.0001.
TEST(Body, RotateWrapsOnceIgnoresWhatIsNotANumberAndSetsStepSigns) {
    const double nan = std::nan(""), inf = HUGE_VAL;
    struct Case { float from; double degrees; float heading; const char* signs; };
    const Case cases[] = {
        {3590.0f, 2.0, 10.0f, "++"},   {5.0f, -1.0, 3595.0f, "+-"}, {3500.0f, 10.0, 0.0f, "+-"},  // 3600 is 0
        {450.5f, 0.0, 450.5f, "++"},                                                             // index is the floor
        {1234.0f, nan, 1234.0f, "-+"}, {1234.0f, inf, 1234.0f, "-+"}, {1234.0f, -inf, 1234.0f, "-+"},
        {static_cast<float>(nan), 5.0, 0.0f, "+-"},                                  // nothing to keep
        {100.0f, 3.6e6, 100.0f, "++"}, {100.0f, -3.6e6, 100.0f, "++"},                // whole turns drop out
        {900.0f, 0.0, 900.0f, "++"},   {1790.0f, 0.0, 1790.0f, "-+"}, {2700.0f, 0.0, 2700.0f, "--"},
    };
    for (const Case& c : cases) {
        Body b;
        b.heading = c.from;
        rotateBody(b, c.degrees);
        EXPECT_FLOAT_EQ(b.heading, c.heading) << c.from << " " << c.degrees;
        EXPECT_EQ(b.headingIndex, static_cast<int>(c.heading)) << c.from << " " << c.degrees;
        EXPECT_EQ(std::tuple(b.dirX, b.dirY), std::tuple(CosTable[b.headingIndex], SinTable[b.headingIndex]));
        EXPECT_EQ(b.stepSignX, c.signs[0] == '+' ? 1.0f : -0.0001f) << c.heading;
        EXPECT_EQ(b.stepSignY, c.signs[1] == '+' ? 1.0f : -0.0001f) << c.heading;
    }
}
