// Showing frames: our conversion and scaling against SDL's renderer, and which frames
// reach the window at all.
#include "platform/frame_convert.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/headless_platform.h"

namespace hc {
namespace {

// No entry is black, so the bars are the only black pixels; neighbours differ.
uint32_t testWord(int i) { return 0xFF000000u | static_cast<uint32_t>(i + 1) << 16 | static_cast<uint32_t>(255 - i) << 8 | static_cast<uint32_t>(i * 7 % 256); }
uint8_t testIndex(int x, int y) { return static_cast<uint8_t>((x * 7 + y * 13) % 256); }

// The window as SDL's renderer fills it with a logical size, the way frames were
// shown before the window surface: its software renderer, drawing into a surface.
std::vector<uint32_t> renderersPicture(const Image& frame, const FrameConverter& converter, int w, int h) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888);
    SDL_Renderer* renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, frame.width, frame.height) : nullptr;
    std::vector<uint32_t> out;
    void* pixels = nullptr;
    int pitch = 0;
    if (texture && SDL_LockTexture(texture, nullptr, &pixels, &pitch) == 0) {
        converter.convert(frame, static_cast<uint8_t*>(pixels), pitch), SDL_UnlockTexture(texture);
        SDL_RenderSetLogicalSize(renderer, frame.width, frame.height), SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer), SDL_RenderCopy(renderer, texture, nullptr, nullptr), SDL_RenderPresent(renderer);
        for (int y = 0; y < h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch);
            for (int x = 0; x < w; ++x) out.push_back(row[x] | 0xFF000000u);
        }
    }
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
    return out;
}

TEST(WindowPicture, OurScalingFillsTheWindowAsTheRendererDidToWithinOneFramePixel) {
    Image* frame = createImage(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) putPixel(*frame, x, y, testIndex(x, y));
    FrameConverter converter;
    uint32_t palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = testWord(i);
    converter.setPalette(palette);
    // One to one; bars at the sides (the full-screen 1366 x 768); above and below; a
    // shape close to 4:3 whose scale is not a whole number.
    const struct { int w, h; bool exact; } sizes[] = {{640, 480, true}, {1366, 768, false}, {800, 700, false}, {1000, 700, false}};
    for (const auto& s : sizes) {
        const std::vector<uint32_t> theirs = renderersPicture(*frame, converter, s.w, s.h);
        ASSERT_EQ(theirs.size(), static_cast<size_t>(s.w * s.h)) << "SDL's software renderer failed: " << SDL_GetError();
        std::vector<uint32_t> ours(theirs.size(), 0xFF000000u);  // the bars: black, painted with the whole window
        const PictureRect rect = letterbox(640, 480, s.w, s.h);
        converter.convertScaled(*frame, reinterpret_cast<uint8_t*>(ours.data()), s.w * 4, rect);
        int far = 0, bars = 0, differ = 0;
        for (int y = 0; y < s.h; ++y) {
            for (int x = 0; x < s.w; ++x) {
                const uint32_t mine = ours[static_cast<size_t>(y * s.w + x)], seen = theirs[static_cast<size_t>(y * s.w + x)];
                bars += (mine == 0xFF000000u) != (seen == 0xFF000000u);  // the same letterbox, exactly
                if (mine == seen || mine == 0xFF000000u) continue;
                ++differ;
                // Which frame pixel the renderer showed: one of ours or a neighbour of it.
                const int u = static_cast<int>((x - rect.x + 0.5f) / rect.scale), v = static_cast<int>((y - rect.y + 0.5f) / rect.scale);
                bool near = false;
                for (int dv = -1; dv <= 1; ++dv)
                    for (int du = -1; du <= 1; ++du)
                        near = near || (u + du >= 0 && u + du < 640 && v + dv >= 0 && v + dv < 480 && palette[testIndex(u + du, v + dv)] == seen);
                far += !near;
            }
        }
        EXPECT_EQ(bars, 0) << s.w << " x " << s.h;
        EXPECT_EQ(far, 0) << s.w << " x " << s.h;
        EXPECT_EQ(s.exact ? differ : 0, 0) << s.w << " x " << s.h << ": differs though one to one";
    }
    destroyImage(frame);
}

// A frame the window shows already is not shown again; anything that changes the
// picture (a pixel, a palette entry, the gamma, the size) is.
TEST(WindowPicture, OnlyFramesThatChangeThePictureAreShownSoABlinkSetsThePace) {
    HeadlessScreen hg;
    hg.openScreen();
    Image& target = renderTarget(hg.screen);
    fillImage(target, 3);
    int frame = 0;
    auto flip = [&](int every) { return [&, every] { if (frame % every == 0) putPixel(target, 5, 5, getPixel(target, 5, 5) == 3 ? 9 : 3); }; };
    const struct { const char* what; std::function<void()> change; int frames, shown; } steps[] = {
        {"the first frame", [] {}, 1, 1},
        {"a second of the same frame", [] {}, 60, 0},
        {"one pixel", [&] { if (frame == 0) putPixel(target, 639, 479, 4); }, 1, 1},
        {"a blink two frames on, two off, for a second", flip(2), 60, 30},
        {"a blink every frame", flip(1), 10, 10},
        {"a palette entry", [&] { if (frame == 0) setPaletteEntry(hg.screen, 200, 1, 2, 3); }, 3, 1},
        {"the same palette entry again", [&] { setPaletteEntry(hg.screen, 200, 1, 2, 3); }, 3, 0},
        {"the gamma", [&] { if (frame == 0) applyGamma(hg.screen, 0.5f); }, 3, 1},
    };
    for (const auto& step : steps) {
        const int64_t before = hg.window.framesShown();
        for (frame = 0; frame < step.frames; ++frame) step.change(), presentFrame(hg.screen);
        EXPECT_EQ(hg.window.framesShown() - before, step.shown) << step.what;
    }
    EXPECT_EQ(hg.window.framesPresented(), 141);  // every frame still reaches the window
    // A frame of another size is a new picture, and the last one shown is kept whole.
    Image* small = createImage(4, 2);
    const int64_t shown = hg.window.framesShown();
    fillImage(*small, 7), hg.window.present(*small);
    EXPECT_EQ(hg.window.framesShown(), shown + 1);
    FrameGate gate;  // on frames of colour words: a change at a row's far end counts
    Image* words = createImage(4, 2, 4);
    EXPECT_EQ(gate.last(), nullptr);
    EXPECT_TRUE(gate.changed(*words, hg.screen.colourWords));
    putPixel(*words, 3, 1, 8);
    EXPECT_TRUE(gate.changed(*words, hg.screen.colourWords));
    ASSERT_NE(gate.last(), nullptr);
    EXPECT_EQ(getPixel(*gate.last(), 3, 1), 8u);
    gate.invalidate();
    EXPECT_TRUE(gate.changed(*words, hg.screen.colourWords));
    destroyImage(small), destroyImage(words);
}

}  // namespace
}  // namespace hc
