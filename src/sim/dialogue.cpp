#include "sim/dialogue.h"

#include <cmath>
#include <cstdlib>

#include "core/random.h"

namespace hc {

const char* const Greetings[GreetingCount] = {"howdy", "taxi", "hello", "hi",
                                              "despacito", "hey", "quick", "go"};

const char* const Places[PlaceCount] = {
    "the library", "the record store", "the pizza place", "my office",
    "the dentist", "the pet shop",     "the mall",        "the church",
    "the nearest station", "the market", "a mcdonalds",   "the mayors office"};

const char* const Events[EventCount] = {
    "a meeting",  "a party",    "an appointment", "a sale",  "a bar mitzvah", "a convention",
    "a gathering", "a concert", "a wake",         "an interview", "an intervention",
    "doing nothing"};

const char* const Items[ItemCount] = {
    "bunch of bricks", "cat", "dog", "suspicious-looking bag", "empty cardboard box",
    "collection of used cds", "mattress", "catnip contraband", "streaming pc", "tube tv",
    "wool blanket", "murder weapon"};

const char* const Complaints[ComplaintCount] = {
    "watch it, buddy!",
    "look out, weirdo!",
    "yikes!",
    "i don't want to die!",
    "who taught you how to drive?",
    "where did you get your license?",
    "you are not very good at this, are you?",
    "what is your problem?",
    "o o f",
    "watch the road!"};

const char* const Thanks[ThanksCount] = {
    "goodnight!", "thank you!",          "this is it!",
    "see ya!",    "goodbye.",            "this is where you leave me.",
    "can we do this again soon?",        "take care!",
    "better late than never!",           "will I see you again?"};

namespace {

// Coordinates are whole cells; they are written as plain unsigned decimals.
std::string wholeNumber(float value) {
    const long long whole = std::llabs(static_cast<long long>(std::nearbyint(value)));
    return std::to_string(whole);
}

std::string heroRequest(int which, const std::string& place) {
    switch (which) {
        case 0: return "those alien bastards gonna pay for shooting my ride!";
        case 1: return "time to kick ass and chew bubble gum.";
        case 2: return "I've got balls of steel!";
        case 3: return "let's rock! to " + place + ".";
        default: return "ready for action!";
    }
}

}  // namespace

std::string fillRequestFrame(int frame, const std::string& greeting, const std::string& place,
                             const std::string& event, const std::string& item,
                             const Body& destination) {
    switch (frame) {
        case 0: return greeting + "! take me to " + place + ".";
        case 1: return greeting + ", i am late for " + event + ".";
        case 2: return "do you know where " + place + " is?";
        case 3: return greeting + "! where is " + place + "?";
        case 4: return "i have " + event + " at " + place + ".";
        case 5: return "take this " + item + " to " + place + ".";
        case 6: return "i need you to deliver this " + item + " for me.";
        case 7: return greeting + "! chop chop!";
        case 8: return "take me to " + place + " at once.";
        case 9: return greeting + ". we are going to " + place + "!";
        case 10:
            return "i need to go to " + wholeNumber(destination.x) + ", " +
                   wholeNumber(destination.y);
        default: return "i have to buy a " + item + " at " + place + ".";
    }
}

void composeDialogue(Passenger& passenger, int portrait) {
    passenger.portrait = portrait;
    // Every draw is made whatever the portrait, so the sequence per passenger is fixed.
    const std::string greeting = Greetings[randomChoice(GreetingCount)];
    const std::string place = Places[randomChoice(PlaceCount)];
    const std::string event = Events[randomChoice(EventCount)];
    const std::string item = Items[randomChoice(ItemCount)];
    const int frame = randomChoice(RequestFrameCount);
    passenger.requestLine =
        fillRequestFrame(frame, greeting, place, event, item, passenger.destination);
    passenger.complaintLine = Complaints[randomChoice(ComplaintCount)];
    passenger.thanksLine = Thanks[randomChoice(ThanksCount)];

    if (portrait == 4) {
        passenger.requestLine = heroRequest(randomChoice(HeroRequestCount), place);
        passenger.complaintLine = "it hurts to be you.";
        passenger.thanksLine = "yeah, piece of cake!";
    } else if (portrait == 7) {
        passenger.requestLine = "greetings, human!";
        passenger.complaintLine = "driver.exe has stopped working";
        passenger.thanksLine = "end of line";
    }
}

}  // namespace hc
