#include <gtest/gtest.h>

#include "core/random.h"
#include "core/system.h"

using namespace hc;

TEST(Random, SeededSequencesRepeatStayInRangeAndCoverChoicesEvenly) {
    seedRandom(42);
    double first[100];
    for (double& r : first) ASSERT_TRUE((r = nextRandom()) >= 0.0 && r < 1.0);
    seedRandom(42);
    for (double r : first) EXPECT_EQ(nextRandom(), r);
    int counts[4] = {};
    for (int i = 0; i < 40000; ++i) counts[randomChoice(4)]++;
    for (int c : counts) EXPECT_NEAR(c, 10000, 400);
}
