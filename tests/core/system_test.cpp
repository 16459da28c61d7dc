#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "core/system.h"

using namespace hc;

TEST(Random, SeededSequencesRepeatStayInRangeAndCoverChoicesEvenly) {
    seedRandom(42);
    double first[100];
    for (double& r : first) {
        r = nextRandom();
        ASSERT_TRUE(r >= 0.0 && r < 1.0);
    }
    seedRandom(42);
    for (double r : first) EXPECT_EQ(nextRandom(), r);
    seedRandom(43);
    EXPECT_NE(nextRandom(), first[0]);
    int counts[4] = {};
    for (int i = 0; i < 40000; ++i) counts[randomChoice(4)]++;
    for (int c : counts) EXPECT_NEAR(c, 10000, 400);
}

TEST(Console, LogLinesGoThroughTheSinkAndTheEndHandlerSeesTheStatus) {
    std::string captured;
    setConsoleSink([&](std::string_view text) { captured += text; });
    logLine("Generating map");
    consoleWrite("raw");
    setConsoleSink(nullptr);
    EXPECT_EQ(captured, "Generating map\nraw");

    setProcessEndHandler([](int status) { throw ProcessEnded{status}; });
    int status = -1;
    try {
        endProcess(3);
    } catch (const ProcessEnded& e) {
        status = e.status;
    }
    setProcessEndHandler(nullptr);
    EXPECT_EQ(status, 3);
}
