#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/random.h"
#include "sim/dialogue.h"

namespace hc {
namespace {

TEST(Dialogue, RequestFramesJoinThePiecesExactly) {
    const char* const lines[] = {"quick! take me to the dentist.", "quick, i am late for a wake.",
                                 "do you know where the dentist is?", "quick! where is the dentist?",
                                 "i have a wake at the dentist.", "take this tube tv to the dentist.",
                                 "i need you to deliver this tube tv for me.", "quick! chop chop!",
                                 "take me to the dentist at once.", "quick. we are going to the dentist!",
                                 "i need to go to 517, 1290", "i have to buy a tube tv at the dentist."};
    for (int frame = 0; frame < 12; ++frame)
        EXPECT_EQ(fillRequestFrame(frame, "quick", "the dentist", "a wake", "tube tv", Body{517, 1290}), lines[frame]);
    EXPECT_EQ(fillRequestFrame(10, "", "", "", "", Body{100, 4}), "i need to go to 100, 4");
}

// Greeting, place, event, item, frame, complaint, thanks: seven draws, eight for
// portrait 4; portraits 4 and 7 have lines of their own.
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
        EXPECT_EQ(p.requestLine, fillRequestFrame(static_cast<int>(12 * d[4]), Greetings[static_cast<int>(8 * d[0])],
                                                  Places[static_cast<int>(12 * d[1])], Events[static_cast<int>(12 * d[2])],
                                                  Items[static_cast<int>(12 * d[3])], p.destination));
        EXPECT_TRUE(p.complaintLine == Complaints[static_cast<int>(10 * d[5])] && p.thanksLine == Thanks[static_cast<int>(10 * d[6])]);
    }
    std::set<std::string> heard;
    for (int seed = 0; seed < 100; ++seed) {
        seedRandom(seed);
        Passenger hero, program;
        composeDialogue(hero, 4);
        heard.insert(hero.requestLine.rfind("let's rock! to ", 0) == 0 ? "let's rock!" : hero.requestLine);
        EXPECT_TRUE(hero.complaintLine == "it hurts to be you." && hero.thanksLine == "yeah, piece of cake!");
        composeDialogue(program, 7);
        EXPECT_TRUE(program.requestLine == "greetings, human!" && program.complaintLine == "driver.exe has stopped working" &&
                    program.thanksLine == "end of line");
    }
    EXPECT_EQ(heard, (std::set<std::string>{"those alien bastards gonna pay for shooting my ride!", "ready for action!",
                                            "time to kick ass and chew bubble gum.", "I've got balls of steel!", "let's rock!"}));
}

}  // namespace
}  // namespace hc
