#pragma once
// HeadlessGame: a HeadlessPlatform holding a fresh Game record, for screen tests.
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
