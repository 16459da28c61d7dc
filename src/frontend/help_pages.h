#pragma once
#include <string_view>

#include "draw/image.h"

namespace hc {

struct Game;

constexpr int HelpPageCount = 3;

// The little book behind "read this!": controls, how to play, credits, and with the
// assists on an "assists" page before the credits that explains their marks. Select
// turns to the next page (the first again after the last), the exit key leaves, and so
// does a window being closed (keys.quit), at once.
void runHelpPages(Game& game, int firstPage);

// How many pages the book has: 3, or 4 with the assists.
int helpPageCount(bool assists);

// The title of page 1.. ("controls", "how to play", "credits"; with the assists
// "assists" third and "credits" fourth); empty outside.
std::string_view helpPageTitle(int page, bool assists = false);

// Draws a page into the render buffer as the book shows it (without presenting).
void drawHelpPage(Game& game, int page);

// The page margin and first text row for a render height.
struct HelpLayout {
    int margin;
    int firstLine;
};
HelpLayout helpLayout(int height);

}  // namespace hc
