#pragma once
#include <string_view>

#include "draw/image.h"

namespace hc {

struct Game;

constexpr int HelpPageCount = 3;

// The little book behind "read this!": controls, how to play, credits. Select turns
// to the next page (the first again after the last), the exit key leaves, and so does a
// window being closed (keys.quit), at once.
void runHelpPages(Game& game, int firstPage);

// The title of page 1..3 ("controls", "how to play", "credits"); empty outside.
std::string_view helpPageTitle(int page);

// Draws page 1..3 into the render buffer as the book shows it (without presenting).
void drawHelpPage(Game& game, int page);

// The page margin and first text row for a render height.
struct HelpLayout {
    int margin;
    int firstLine;
};
HelpLayout helpLayout(int height);

}  // namespace hc
