#include <gtest/gtest.h>

#include <cmath>

#include "core/body.h"
#include "core/tables.h"

using namespace hc;

namespace {

Body facing(float heading) {
    Body b;
    b.heading = heading;
    rotateBody(b, 0);
    return b;
}

}  // namespace

TEST(Tables, KnownEntries) {
    EXPECT_FLOAT_EQ(CosTable[0], 1.0f);
    EXPECT_FLOAT_EQ(SinTable[0], 0.0f);
    EXPECT_NEAR(SinTable[900], 1.0f, 1e-6);
    EXPECT_NEAR(CosTable[1800], -1.0f, 1e-5);
    // The accumulated single-precision angle drifts a little by the last entry.
    EXPECT_NEAR(CosTable[3600], 1.0f, 1e-4);
    EXPECT_NEAR(SinTable[3600], 0.0f, 1e-2);
}

TEST(Tables, FollowAccumulatedAngleNotExactMultiples) {
    // Entry i is taken at the single-precision running sum of the step, so it differs
    // from the exact value at i tenths of a degree by a small, growing amount.
    const double exact = std::sin(3000 * (3.14159 / 1800.0));
    EXPECT_NEAR(SinTable[3000], exact, 1e-3);
    EXPECT_NE(static_cast<double>(SinTable[3000]), static_cast<double>(static_cast<float>(exact)));
}

TEST(Body, RotateWrapsIntoOneTurnAndIgnoresWhatIsNotANumber) {
    const double nan = std::nan(""), inf = HUGE_VAL;
    struct Case {
        float from;
        double degrees;
        float heading;
    };
    const Case cases[] = {
        {3590.0f, 2.0, 10.0f},   {5.0f, -1.0, 3595.0f},  {3500.0f, 10.0, 0.0f},  // one wrap each way; 3600 is 0
        {1234.0f, nan, 1234.0f}, {1234.0f, inf, 1234.0f}, {1234.0f, -inf, 1234.0f},  // no turn at all
        {static_cast<float>(nan), 5.0, 0.0f},                                        // nothing to keep
        {100.0f, 3.6e6, 100.0f}, {100.0f, -3.6e6, 100.0f},  // far beyond a turn: whole turns drop out
    };
    for (const Case& c : cases) {
        Body b;
        b.heading = c.from;
        rotateBody(b, c.degrees);
        EXPECT_FLOAT_EQ(b.heading, c.heading) << c.from << " " << c.degrees;
        EXPECT_EQ(b.headingIndex, static_cast<int>(c.heading)) << c.from << " " << c.degrees;
        EXPECT_EQ(b.dirX, CosTable[b.headingIndex]);
    }
}

TEST(Body, RotateRefreshesDirectionAndStepSigns) {
    Body b = facing(900.0f);
    EXPECT_EQ(b.dirX, CosTable[900]);
    EXPECT_EQ(b.dirY, SinTable[900]);
    // The tables' pi, 3.14159, falls short: cos at 90 degrees is a tiny positive value
    // (about 7.8e-6), and that sign, not zero, decides the step sign.
    EXPECT_GT(b.dirX, 0.0f);
    EXPECT_LT(b.dirX, 1e-5f);
    EXPECT_EQ(b.stepSignX, 1.0f);
    EXPECT_EQ(b.stepSignY, 1.0f);

    b = facing(1800.0f);
    EXPECT_EQ(b.stepSignX, -0.0001f);

    b = facing(450.5f);
    EXPECT_EQ(b.headingIndex, 450);  // floor of the fractional heading
}

TEST(Body, AdvanceUsesTableDirectionAndTravelRate) {
    Body b = facing(0.0f);
    b.x = 10;
    b.y = 20;
    b.vx = 99;  // velocity is not what advance uses
    b.travelRate = 0.5f;
    advanceBody(b, 4.0);
    EXPECT_FLOAT_EQ(b.x, 14.0f);
    EXPECT_FLOAT_EQ(b.y, 20.0f);
    EXPECT_FLOAT_EQ(b.travel, 2.0f);
}

TEST(Body, SpeedRadiansAndRays) {
    Body b;
    b.vx = -3;
    b.vy = 4;
    EXPECT_FLOAT_EQ(bodySpeed(b), 5.0f);

    b.heading = 900;
    EXPECT_DOUBLE_EQ(headingRadians(b), 0.5 * 3.14159);

    b.travel = 7;
    b.travelRate = 0.1f;
    b.x = 3;
    Body ray;
    beginRay(ray, b);
    EXPECT_EQ(ray.x, 3.0f);
    EXPECT_EQ(ray.vx, -3.0f);
    EXPECT_EQ(ray.travel, 0.0f);
    EXPECT_EQ(ray.travelRate, 1.0f);
}
