#pragma once
#include <string>

#include "core/records.h"

namespace hc {

// The phrase tables that passengers' lines are built from, indexed from 0.
constexpr int GreetingCount = 8;
constexpr int PlaceCount = 12;
constexpr int EventCount = 12;
constexpr int ItemCount = 12;
constexpr int RequestFrameCount = 12;
constexpr int ComplaintCount = 10;
constexpr int ThanksCount = 10;
constexpr int HeroRequestCount = 5;

extern const char* const Greetings[GreetingCount];
extern const char* const Places[PlaceCount];
extern const char* const Events[EventCount];
extern const char* const Items[ItemCount];
extern const char* const Complaints[ComplaintCount];
extern const char* const Thanks[ThanksCount];

// Fills request frame `frame` (0..11) with a greeting, place, event and item; frame 10
// names the passenger's destination coordinates.
std::string fillRequestFrame(int frame, const std::string& greeting, const std::string& place,
                             const std::string& event, const std::string& item,
                             const Body& destination);

// Stores the portrait (1..8) and composes the passenger's request, complaint and
// thank-you lines from the shared random source. Always draws 7 numbers (8 for
// portrait 4) so that a replay consumes the same sequence whatever lines come out.
// The destination must be set first: one request frame names it.
void composeDialogue(Passenger& passenger, int portrait);

}  // namespace hc
