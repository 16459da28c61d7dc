#pragma once
// HeadlessGame: a HeadlessPlatform holding a whole Game record, for screen tests of the
// front end and the shell. The record returned by game() is a fresh, value-initialised
// Game per fixture.
//
//   HeadlessGame hg;
//   hg.openScreen();                      // display mode + 640 x 480 screen, default keys
//   hg.window.pressKeyAt(28, 3);          // Enter down at the 3rd poll, up at the 4th
//   int status = hg.runUntilEnd([&] { someScreen(hg.game()); });
//   EXPECT_EQ(hg.window.lastFramePixel(320, 240), 22);
#include <memory>

#include "frontend/game.h"
#include "support/headless_platform.h"

namespace hc {

class HeadlessGame : public HeadlessPlatform {
public:
    HeadlessGame() : game_(std::make_unique<Game>()) {}
    ~HeadlessGame() { releaseScreen(); }

    Game& game() { return *game_; }
    void openScreen() { HeadlessPlatform::openScreen(game_->screen, game_->keys); }

private:
    std::unique_ptr<Game> game_;
};

}  // namespace hc
