#include <gtest/gtest.h>

#include <cmath>

#include "core/body.h"
#include "core/tables.h"

using namespace hc;

TEST(Tables, EndsAndAccumulatedDrift) {
    EXPECT_EQ(CosTable[0], 1.0f);
    EXPECT_EQ(SinTable[0], 0.0f);
    EXPECT_NEAR(SinTable[900], 1.0f, 1e-6);
    EXPECT_NEAR(CosTable[1800], -1.0f, 1e-5);
    EXPECT_NEAR(CosTable[3600], 1.0f, 1e-4);
    // Entry i is taken at the single-precision running sum of the step, not at i times
    // the step: it drifts away, past pi by entry 1800, where sin turns negative.
    const double step = static_cast<double>(3.14159f) / 180.0;
    for (int i : {900, 1800, 3000})
        EXPECT_GT(std::fabs(SinTable[i] - std::sin(i * step / 10)) + std::fabs(CosTable[i] - std::cos(i * step / 10)), 1e-6) << i;
    EXPECT_LT(SinTable[1800], 0.0f);
    EXPECT_NEAR(SinTable[3000], std::sin(3000 * step / 10), 1e-4);
}

TEST(Body, RotateWrapsOnceAndIgnoresWhatIsNotANumber) {
    const double nan = std::nan(""), inf = HUGE_VAL;
    struct Case { float from; double degrees; float heading; };
    const Case cases[] = {
        {3590.0f, 2.0, 10.0f},   {5.0f, -1.0, 3595.0f},  {3500.0f, 10.0, 0.0f},  // 3600 is 0
        {450.5f, 0.0, 450.5f},                                                  // index is the floor
        {1234.0f, nan, 1234.0f}, {1234.0f, inf, 1234.0f}, {1234.0f, -inf, 1234.0f},
        {static_cast<float>(nan), 5.0, 0.0f},                                    // nothing to keep
        {100.0f, 3.6e6, 100.0f}, {100.0f, -3.6e6, 100.0f},  // whole turns drop out
    };
    for (const Case& c : cases) {
        Body b;
        b.heading = c.from;
        rotateBody(b, c.degrees);
        EXPECT_FLOAT_EQ(b.heading, c.heading) << c.from << " " << c.degrees;
        EXPECT_EQ(b.headingIndex, static_cast<int>(c.heading)) << c.from << " " << c.degrees;
        EXPECT_EQ(b.dirX, CosTable[b.headingIndex]);
        EXPECT_EQ(b.dirY, SinTable[b.headingIndex]);
    }
}

TEST(Body, StepSignsFollowTheTableSigns) {
    // The tables' pi, 3.14159, falls short: cos at 90 degrees is a tiny positive value,
    // and that sign, not zero, decides the step sign.
    struct Case { float heading, signX, signY; };
    const Case cases[] = {{0, 1.0f, -0.0001f}, {900, 1.0f, 1.0f}, {1790, -0.0001f, 1.0f},
                          {2700, -0.0001f, -0.0001f}, {3150, 1.0f, -0.0001f}};
    for (const Case& c : cases) {
        Body b;
        b.heading = c.heading;
        rotateBody(b, 0);
        EXPECT_EQ(b.stepSignX, c.signX) << c.heading;
        EXPECT_EQ(b.stepSignY, c.signY) << c.heading;
    }
}

TEST(Body, AdvanceSpeedRadiansAndRays) {
    Body b;
    rotateBody(b, 90);
    b.x = 10;
    b.y = 20;
    b.vx = 99;  // advance goes by the table direction, not the velocity
    b.travelRate = 0.5f;
    advanceBody(b, 4.0);
    EXPECT_NEAR(b.x, 10.0f, 1e-4);
    EXPECT_FLOAT_EQ(b.y, 24.0f);
    EXPECT_FLOAT_EQ(b.travel, 2.0f);
    EXPECT_DOUBLE_EQ(headingRadians(b), 0.5 * 3.14159);

    b.vx = -3;
    b.vy = 4;
    EXPECT_FLOAT_EQ(bodySpeed(b), 5.0f);
    Body ray;
    beginRay(ray, b);
    EXPECT_EQ(ray.y, b.y);
    EXPECT_EQ(ray.vx, -3.0f);
    EXPECT_EQ(ray.travel, 0.0f);
    EXPECT_EQ(ray.travelRate, 1.0f);
}
