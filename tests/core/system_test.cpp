#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/random.h"
#include "core/system.h"

using namespace hc;

TEST(Random, SeededSequencesRepeatStayInRangeAndCoverChoicesEvenly) {
    seedRandom(42);
    double first[100];
    for (double& r : first) ASSERT_THAT(r = nextRandom(), testing::AllOf(testing::Ge(0.0), testing::Lt(1.0)));
    seedRandom(42);
    for (double r : first) EXPECT_EQ(nextRandom(), r);
    int counts[4] = {};
    for (int i = 0; i < 40000; ++i) counts[randomChoice(4)]++;
    for (int c : counts) EXPECT_NEAR(c, 10000, 400);
}
