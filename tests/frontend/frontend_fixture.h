#pragma once
// FrontEndGame: a headless game with stand-in pictures for the front-end screens, so
// that a screen test can tell from a frame's colours what was drawn where. Every glyph
// of style s is a solid 10 x 10 square of colour GlyphColour + s; the menu backdrop,
// title, garage picture and garage icon are solid too.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "draw/image.h"
#include "platform/audio.h"
#include "platform/keyboard.h"
#include "support/headless_game.h"

namespace hc {

constexpr uint8_t GlyphColour = 100;  // style s draws colour 100 + s
constexpr uint8_t BackdropColour = 5;
constexpr uint8_t GreyBackdropColour = 9;
constexpr uint8_t TitleColour = 6;
constexpr uint8_t GarageColour = 7;
constexpr uint8_t IconColour = 8;

class FrontEndGame : public HeadlessGame {
public:
    FrontEndGame() {
        openScreen();
        initAudio(game().audio);
        // 20 frames a second: transitions take a few dozen frames instead of a hundred.
        secondsPerFrame = 0.05;
        GameState& state = game().state;
        for (int g = 0; g < FontGlyphs; ++g) {
            for (int s = 0; s < FontStyles; ++s) {
                game().font.glyphs[g * FontStyles + s] = solid(GlyphSize, GlyphSize, GlyphColour + s);
            }
        }
        state.menuBackdrop = solid(640, 400, BackdropColour);
        state.titleImage = solid(500, 170, TitleColour);
        state.garageBackdrop = solid(640, 320, GarageColour);
        state.garageIcon = solid(16, 16, IconColour);
        for (int p = 0; p < 256; ++p) state.greyTable[p] = static_cast<uint8_t>(p);
        state.greyTable[BackdropColour] = GreyBackdropColour;
    }
    ~FrontEndGame() {
        shutdownAudio(game().audio);
        for (Image* image : owned_) destroyImage(image);
    }

    static int key(const char* name) { return scancodeForKeyName(name); }

    // Each key in turn down for one poll and seen released at the next, from poll first.
    void releaseKeysFrom(int64_t first, const std::vector<const char*>& names) {
        int64_t poll = first;
        for (const char* name : names) {
            window.pressKeyAt(key(name), poll);
            poll += 2;
        }
    }

private:
    Image* solid(int w, int h, int colour) {
        Image* image = createImage(w, h);
        fillImage(*image, static_cast<uint32_t>(colour));
        owned_.push_back(image);
        return image;
    }
    std::vector<Image*> owned_;
};

// Copies of presented frames, and the key polls made when each was presented.
struct FrameLog {
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> polls;
};

inline void logFrames(HeadlessGame& hg, FrameLog& log) {
    hg.onFrame = [&hg, &log](const Image&) {
        log.frames.push_back(hg.window.lastFrame());
        log.polls.push_back(hg.window.polls());
    };
}

}  // namespace hc
