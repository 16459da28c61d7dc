#include "frontend/menus.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "assets/font.h"
#include "core/system.h"
#include "frontend/game.h"
#include "platform/audio.h"
#include "platform/dissolve.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "render/view_rounding.h"
#include "core/colours.h"

namespace hc {

namespace {

constexpr std::string_view MainMenuTexts[MenuBestScores + 1] = {
    "", "arcade mode", "career mode", "options", "read this!", "exit", "free ride", "city of the day", "best scores"};

int menuRows(bool assists) { return assists ? MainMenuEntries + 3 : MainMenuEntries; }

constexpr double MenuFrameSeconds = 1.0 / 60.0;


// The main menu's picture: backdrop, title, entries (the selected one blinking).
void drawMainMenu(Game& game, int selected) {
    Image& target = renderTarget(game.screen);
    const int height = target.height;
    const int y0 = height == 200 ? 0 : roundAny(height / 2.0 - 200.0);
    fillImage(target, colourIndex(game.screen, ColourBlack));
    drawImageScaled(target, game.state.menuBackdrop, -1, -1);
    drawImageScaled(target, game.state.titleImage, -1, y0);
    const int y1 = roundAny(height * 0.38 + y0);
    const bool assists = isOn(game.shift.assists);
    // The assists' extra rows pack the entries closer, so that the last one stays above
    // the cab in the backdrop, where the five entries alone end (20 pixels apart).
    const int spacing = 100 / menuRows(assists);
    for (int i = 1; i <= menuRows(assists); ++i) {
        if (i == selected && !blinkShows(game.shift.frameCounter)) continue;
        printText(game.font, target, -1, y1 + spacing * i, mainMenuText(mainMenuRow(assists, i)), 2);
    }
}

}  // namespace

std::string_view mainMenuText(int entry) {
    if (entry < 1 || entry > MenuBestScores) return {};
    return MainMenuTexts[entry];
}

int mainMenuRow(bool assists, int row) {
    if (row < 1 || row > menuRows(assists)) return 0;
    if (!assists) return row;
    constexpr int AssistsRows[] = {0, MenuArcade, MenuFreeRide, MenuCityOfDay, MenuCareer, MenuBestScores, MenuOptions, MenuHelp, MenuExit};
    return AssistsRows[row];
}

void drawImageScaled(Image& target, const Image* image, int x, int y) {
    if (!image || image->width <= 0 || image->height <= 0) return;
    const int width = target.width;
    const int height = target.height;
    const double step = width > 1280 ? 0.5 : width == 320 ? 2.0 : 1.0;
    if (x < 0) x = roundAny((width - image->width / step) / 2.0);
    if (y < 0) y = roundAny((height - image->height / step) / 2.0);
    if (y < 0) y = 0;

    // Screen column sx shows source column round(i * step), and likewise for rows. The
    // columns are worked out once: the menus draw their backdrop every frame.
    std::vector<int> columns;
    for (int i = 0; i * step <= image->width - 1 && x + i < width; ++i) columns.push_back(roundAny(i * step));
    const bool indices = image->bytesPerPixel == 1 && target.bytesPerPixel == 1;
    int sy = y;
    for (int j = 0; j * step <= image->height - 1 && sy < height; ++j, ++sy) {
        if (sy < 0) continue;
        const int v = roundAny(j * step);
        const uint8_t* from = pixelAddress(*image, 0, v);
        uint8_t* to = pixelAddress(target, 0, sy);
        for (int i = std::max(0, -x); i < static_cast<int>(columns.size()); ++i) {
            const int u = columns[static_cast<size_t>(i)];
            const uint32_t c = indices ? from[u] : getPixel(*image, u, v);
            if (c == 0) continue;
            if (indices) {
                to[x + i] = static_cast<uint8_t>(c);
            } else {
                putPixel(target, x + i, sy, c);
            }
        }
    }
}

void drawTitleBar(const FontSet& font, Image& target, std::string_view text) {
    const int width = target.width;
    const int n = static_cast<int>(text.size());
    const int left = roundAny(width * 0.5 - 5.0 * n - 12.0);
    const int right = roundAny(5.0 * n + width * 0.5 + 12.0);
    for (int x = 0; x < width; ++x) {
        if (x >= left && x <= right) continue;
        const int i = x / 4;
        for (int r = 0; r < 16; ++r) {
            const int j = r / 4;
            uint32_t c = 235;  // the rims above and below
            if (j == 1 || j == 2) c = (i + j) % 2 == 0 ? 18 : ColourBlack;
            if (r + 7 < target.height) putPixel(target, x, r + 7, c);
        }
    }
    printText(font, target, -1, 10, text, 2);
}

void paceMenuFrame(double& lastFrame) {
    const double now = clockSeconds();
    if (lastFrame > 0.0) {
        const int rest = static_cast<int>((MenuFrameSeconds - (now - lastFrame)) * 1000.0);
        if (rest > 0) sleepMilliseconds(rest);
    }
    lastFrame = clockSeconds();
}

int runMainMenu(Game& game) {
    int selected = 1;
    const int rows = menuRows(isOn(game.shift.assists));
    Image& target = renderTarget(game.screen);
    fillImage(target, colourIndex(game.screen, ColourBlack));
    drawImageScaled(target, game.state.menuBackdrop, -1, -1);
    transition(game.screen, game.audio, game.timer, FadeIn);

    double lastFrame = 0.0;
    for (;;) {
        pollKeys(game.keys);
        // The window is being closed: straight out, as "exit" but without the fade.
        if (game.keys.quit) return MenuExit;
        drawMainMenu(game, selected);
        if (wasReleased(game.keys, ActionUp)) {
            selected = selected == 1 ? rows : selected - 1;
        } else if (wasReleased(game.keys, ActionDown)) {
            selected = selected == rows ? 1 : selected + 1;
        } else if (wasReleased(game.keys, ActionBack)) {
            selected = rows;  // exit, the last row
            break;
        } else if (wasReleased(game.keys, ActionSelect)) {
            break;
        }
        game.shift.frameCounter += 1;
        presentFrame(game.screen);
        updateAudio(game.audio);
        paceMenuFrame(lastFrame);
    }

    transition(game.screen, game.audio, game.timer, FadeOut);
    return mainMenuRow(isOn(game.shift.assists), selected);
}

}  // namespace hc
