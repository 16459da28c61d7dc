#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/random.h"
#include "sim/dialogue.h"

namespace hc {
namespace {

TEST(Dialogue, RequestFramesJoinThePiecesExactly) {
    Body dest{};
    dest.x = 517;
    dest.y = 1290;
    struct Case { int frame; const char* line; };
    const Case cases[] = {{0, "quick! take me to the dentist."},  {1, "quick, i am late for a wake."},
                          {2, "do you know where the dentist is?"}, {3, "quick! where is the dentist?"},
                          {4, "i have a wake at the dentist."},   {5, "take this tube tv to the dentist."},
                          {6, "i need you to deliver this tube tv for me."}, {7, "quick! chop chop!"},
                          {8, "take me to the dentist at once."},  {9, "quick. we are going to the dentist!"},
                          {10, "i need to go to 517, 1290"},        {11, "i have to buy a tube tv at the dentist."}};
    for (const Case& c : cases) EXPECT_EQ(fillRequestFrame(c.frame, "quick", "the dentist", "a wake", "tube tv", dest), c.line);
    // A few table entries, at both ends and in the middle.
    const std::pair<const char*, const char*> entries[] = {
        {Greetings[0], "howdy"}, {Greetings[4], "despacito"}, {Places[10], "a mcdonalds"},
        {Events[11], "doing nothing"}, {Items[3], "suspicious-looking bag"}, {Complaints[8], "o o f"},
        {Thanks[9], "will I see you again?"}};
    for (auto [entry, text] : entries) EXPECT_STREQ(entry, text);
    dest.x = 100;
    dest.y = 4;
    EXPECT_EQ(fillRequestFrame(10, "", "", "", "", dest), "i need to go to 100, 4");
}

TEST(Dialogue, DrawsSevenNumbersOrEightForPortraitFourInOrder) {
    for (int portrait = 1; portrait <= 8; ++portrait) {
        seedRandom(100 + portrait);
        double d[9];
        for (double& r : d) r = nextRandom();
        seedRandom(100 + portrait);
        Passenger p;
        p.destination.x = 300;
        composeDialogue(p, portrait);
        EXPECT_EQ(nextRandom(), d[portrait == 4 ? 8 : 7]) << portrait;
        EXPECT_EQ(p.portrait, portrait);
        if (portrait == 4 || portrait == 7) continue;
        // Greeting, place, event, item, frame, complaint, thanks.
        EXPECT_EQ(p.requestLine, fillRequestFrame(static_cast<int>(12 * d[4]), Greetings[static_cast<int>(8 * d[0])],
                                                  Places[static_cast<int>(12 * d[1])], Events[static_cast<int>(12 * d[2])],
                                                  Items[static_cast<int>(12 * d[3])], p.destination));
        EXPECT_EQ(p.complaintLine, Complaints[static_cast<int>(10 * d[5])]);
        EXPECT_EQ(p.thanksLine, Thanks[static_cast<int>(10 * d[6])]);
    }
}

TEST(Dialogue, TwoCharactersHaveLinesOfTheirOwn) {
    const std::set<std::string> heroLines = {"those alien bastards gonna pay for shooting my ride!",
                                             "time to kick ass and chew bubble gum.", "I've got balls of steel!",
                                             "let's rock! to the mall.", "ready for action!"};
    std::set<std::string> heard;
    for (int seed = 0; seed < 100; ++seed) {
        seedRandom(seed);
        Passenger hero, program;
        composeDialogue(hero, 4);
        if (hero.requestLine.rfind("let's rock! to ", 0) == 0) hero.requestLine = "let's rock! to the mall.";
        heard.insert(hero.requestLine);
        EXPECT_TRUE(hero.complaintLine == "it hurts to be you." && hero.thanksLine == "yeah, piece of cake!");
        composeDialogue(program, 7);
        EXPECT_TRUE(program.requestLine == "greetings, human!" && program.complaintLine == "driver.exe has stopped working" &&
                    program.thanksLine == "end of line");
    }
    EXPECT_EQ(heard, heroLines);
}

}  // namespace
}  // namespace hc
