#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/random.h"
#include "sim/dialogue.h"

namespace hc {
namespace {

Passenger headedFor(float x, float y) {
    Passenger p;
    p.destination.x = x;
    p.destination.y = y;
    return p;
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

TEST(Dialogue, RequestFramesJoinThePiecesExactly) {
    const Body dest = headedFor(517, 1290).destination;
    EXPECT_EQ(fillRequestFrame(0, "howdy", "the library", "a party", "cat", dest),
              "howdy! take me to the library.");
    EXPECT_EQ(fillRequestFrame(1, "go", "the mall", "a wake", "cat", dest),
              "go, i am late for a wake.");
    EXPECT_EQ(fillRequestFrame(4, "hi", "the market", "doing nothing", "dog", dest),
              "i have doing nothing at the market.");
    EXPECT_EQ(fillRequestFrame(9, "hey", "a mcdonalds", "a sale", "dog", dest),
              "hey. we are going to a mcdonalds!");
    EXPECT_EQ(fillRequestFrame(10, "hey", "a mcdonalds", "a sale", "dog", dest),
              "i need to go to 517, 1290");
    EXPECT_EQ(fillRequestFrame(11, "hey", "the church", "a sale", "tube tv", dest),
              "i have to buy a tube tv at the church.");
    EXPECT_EQ(fillRequestFrame(10, "", "", "", "", headedFor(100, 4).destination),
              "i need to go to 100, 4");
    // Frames 0, 1, 3, 7 and 9 start with the greeting, the others with a fixed word.
    for (int frame = 0; frame < RequestFrameCount; ++frame) {
        const std::string line = fillRequestFrame(frame, "quick", "the dentist", "a concert",
                                                  "mattress", dest);
        const bool greeted = frame == 0 || frame == 1 || frame == 3 || frame == 7 || frame == 9;
        EXPECT_EQ(startsWith(line, "quick"), greeted) << line;
    }
}

TEST(Dialogue, DrawsSevenNumbersOrEightForPortraitFour) {
    for (int portrait = 1; portrait <= 8; ++portrait) {
        seedRandom(100 + portrait);
        double draws[9];
        for (double& d : draws) d = nextRandom();
        seedRandom(100 + portrait);
        Passenger p = headedFor(300, 400);
        composeDialogue(p, portrait);
        const int used = portrait == 4 ? 8 : 7;
        EXPECT_EQ(nextRandom(), draws[used]) << portrait;
        EXPECT_EQ(p.portrait, portrait);
        if (portrait == 4 || portrait == 7) continue;
        // The lines come from the tables at the drawn entries.
        const std::string expected = fillRequestFrame(
            static_cast<int>(12 * draws[4]), Greetings[static_cast<int>(8 * draws[0])],
            Places[static_cast<int>(12 * draws[1])], Events[static_cast<int>(12 * draws[2])],
            Items[static_cast<int>(12 * draws[3])], p.destination);
        EXPECT_EQ(p.requestLine, expected);
        EXPECT_EQ(p.complaintLine, Complaints[static_cast<int>(10 * draws[5])]);
        EXPECT_EQ(p.thanksLine, Thanks[static_cast<int>(10 * draws[6])]);
    }
}

TEST(Dialogue, TwoCharactersHaveLinesOfTheirOwn) {
    const std::set<std::string> heroLines = {
        "those alien bastards gonna pay for shooting my ride!",
        "time to kick ass and chew bubble gum.", "I've got balls of steel!",
        "ready for action!"};
    seedRandom(5);
    int placed = 0;
    for (int i = 0; i < 200; ++i) {
        Passenger hero = headedFor(10, 10);
        composeDialogue(hero, 4);
        EXPECT_EQ(hero.complaintLine, "it hurts to be you.");
        EXPECT_EQ(hero.thanksLine, "yeah, piece of cake!");
        if (startsWith(hero.requestLine, "let's rock! to ")) {
            ++placed;
            EXPECT_EQ(hero.requestLine.back(), '.');
        } else {
            EXPECT_EQ(heroLines.count(hero.requestLine), 1u) << hero.requestLine;
        }

        Passenger program = headedFor(10, 10);
        composeDialogue(program, 7);
        EXPECT_EQ(program.requestLine, "greetings, human!");
        EXPECT_EQ(program.complaintLine, "driver.exe has stopped working");
        EXPECT_EQ(program.thanksLine, "end of line");
    }
    EXPECT_GT(placed, 10);
}

}  // namespace
}  // namespace hc
