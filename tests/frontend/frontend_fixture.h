#pragma once
// FrontEndGame: a headless game whose pictures are solid colours, so a frame tells what was drawn
// where: every glyph of style s is a 10 x 10 square of GlyphColour + s; backdrop, title, garage, icon.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "draw/image.h"
#include "platform/audio.h"
#include "platform/keyboard.h"
#include "support/headless_game.h"

namespace hc {

constexpr uint8_t GlyphColour = 100, BackdropColour = 5, GreyBackdropColour = 9, TitleColour = 6, GarageColour = 7, IconColour = 8;

// Copies of presented frames, and the key polls made when each was presented.
struct FrameLog { std::vector<std::vector<uint8_t>> frames; std::vector<int64_t> polls; };

class FrontEndGame : public HeadlessGame {
public:
    FrontEndGame() {
        openScreen(), initAudio(game().audio), secondsPerFrame = 0.05;  // 20 frames a second: shorter transitions
        GameState& state = game().state;
        for (int i = 0; i < FontGlyphs * FontStyles; ++i) game().font.glyphs[i] = solid(GlyphSize, GlyphSize, GlyphColour + i % FontStyles);
        state.menuBackdrop = solid(640, 400, BackdropColour), state.titleImage = solid(500, 170, TitleColour);
        state.garageBackdrop = solid(640, 320, GarageColour), state.garageIcon = solid(16, 16, IconColour);
        for (int p = 0; p < 256; ++p) state.greyTable[p] = static_cast<uint8_t>(p == BackdropColour ? GreyBackdropColour : p);
    }
    ~FrontEndGame() { shutdownAudio(game().audio); for (Image* image : owned_) destroyImage(image); }

    static int key(const char* name) { return scancodeForKeyName(name); }

    // Each key in turn down for one poll and seen released at the next, from poll first.
    void releaseKeysFrom(int64_t first, const std::vector<const char*>& names) { for (const char* name : names) window.pressKeyAt(key(name), first), first += 2; }
    // Clears the keys and the log, then presses the keys from the next poll on.
    void pressFromNextPoll(const std::vector<const char*>& names, FrameLog& log) {
        log = FrameLog{};
        onFrame = [this, &log](const Image&) { log.frames.push_back(window.lastFrame()), log.polls.push_back(window.polls()); };
        window.clearKeys(), releaseKeysFrom(window.polls() + 1, names);
    }

private:
    Image* solid(int w, int h, int colour) { owned_.push_back(createImage(w, h)), fillImage(*owned_.back(), static_cast<uint32_t>(colour)); return owned_.back(); }
    std::vector<Image*> owned_;
};


}  // namespace hc
