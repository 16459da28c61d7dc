#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/random.h"
#include "core/system.h"

using namespace hc;

TEST(Random, SeededSequencesRepeatAndStayInRange) {
    seedRandom(42);
    double first[100];
    for (double& r : first) {
        r = nextRandom();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
    seedRandom(42);
    for (double r : first) EXPECT_EQ(nextRandom(), r);
    seedRandom(43);
    EXPECT_NE(nextRandom(), first[0]);
}

TEST(Random, ChoicesCoverEveryEntryEvenly) {
    seedRandom(7);
    int counts[4] = {};
    for (int i = 0; i < 40000; ++i) counts[randomChoice(4)]++;
    for (int c : counts) EXPECT_NEAR(c, 10000, 400);
}

TEST(Console, LogLinesGoThroughTheSinkWithLineEnds) {
    std::string captured;
    setConsoleSink([&](std::string_view text) { captured += text; });
    logLine("Generating map");
    consoleWrite("raw");
    setConsoleSink(nullptr);
    EXPECT_EQ(captured, "Generating map\nraw");
}

TEST(Process, EndHandlerSeesTheStatus) {
    setProcessEndHandler([](int status) { throw ProcessEnded{status}; });
    try {
        endProcess(3);
        FAIL() << "endProcess returned";
    } catch (const ProcessEnded& e) {
        EXPECT_EQ(e.status, 3);
    }
    setProcessEndHandler(nullptr);
}
