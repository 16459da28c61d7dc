#pragma once
// The best scores page, on the main menu with the assists on: the ten best arcade scores
// with their dates and today's best in the city of the day. Select asks to watch the
// best shift; the shell plays it, or says on the page that it cannot.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/saved_records.h"

namespace hc {

struct Game;

// The page's lines: ten ranked rows of score and date ("-" for a place not yet taken),
// an empty line and the city of the day's best of today (a table of another day counts
// as none).
std::vector<std::string> bestScoresLines(const std::vector<BestScore>& best, const std::vector<BestScore>& dayBest,
                                         std::string_view today);

// Draws the page (backdrop greyed, title bar, the lines, the note under them when there
// is one, and the keys at the foot) into the render buffer, without presenting.
void drawBestScoresPage(Game& game, const std::vector<std::string>& lines, std::string_view note);

// Shows the page, faded in, until the exit key is released (then fades out) or the window
// is being closed (at once: the caller sees keys.quit). Select calls watch, which either
// plays the best shift and returns nothing (the page then fades in again) or returns the
// note that the page shows from then on, saying why it cannot.
using WatchBest = std::function<std::string(Game&)>;
void runBestScores(Game& game, const std::vector<std::string>& lines, const WatchBest& watch);

}  // namespace hc
