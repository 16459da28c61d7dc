#include "shell/startup.h"

#include <cmath>
#include <memory>
#include <new>
#include <string>

#include "assets/graphics_pack.h"
#include "city/city_generator.h"
#include "frontend/career.h"
#include "frontend/garage.h"
#include "frontend/help_pages.h"
#include "frontend/menus.h"
#include "frontend/options.h"
#include "platform/audio.h"
#include "platform/console.h"
#include "platform/dissolve.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "platform/sdl_window.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "shell/core/random.h"
#include "shell/core/system.h"
#include "shell/core/tables.h"
#include "shell/exit_screen.h"
#include "shell/game.h"
#include "render/world_view.h"
#include "shell/shift_loop.h"
#include "sim/passengers.h"
#include "sim/traffic.h"

namespace hc {

uint64_t kilobytesRounded(uint64_t bytes) {
    const uint64_t whole = bytes / 1024, rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && whole % 2 == 1)) return whole + 1;
    return whole;
}

void drawBusyIcon(ScreenContext& screen) {
    Image& target = renderTarget(screen);
    const uint32_t white = colourIndex(screen, 22);
    fillBox(target, 0, 0, target.width - 1, target.height - 1, colourIndex(screen, 255));
    const int cx = static_cast<int>(std::nearbyint(target.width / 2.0));
    const int cy = static_cast<int>(std::nearbyint(target.height / 2.0));
    for (int i = -9; i <= 9; ++i) {
        const int y = cy + i;
        const int a = i < 0 ? -i : i;
        if (a >= 8) {
            drawLine(target, cx - 6, y, cx + 6, y, white);  // the hourglass's ends
        } else if (a >= 4) {
            drawLine(target, cx - 5, y, cx - 5, y, white);  // the bulbs' straight sides
            drawLine(target, cx + 5, y, cx + 5, y, white);
        } else {
            drawLine(target, cx - (a + 1), y, cx - (a + 1), y, white);  // the waist
            drawLine(target, cx + (a + 1), y, cx + (a + 1), y, white);
        }
        if (i == 5 || i == 6) drawLine(target, cx - 2, y, cx + 2, y, white);  // sand below
        if (i == -2) drawLine(target, cx - 1, y, cx + 1, y, white);           // sand above
    }
    presentFrame(screen);
}

void newGameReset(Shift& shift, PlayerCar& player) {
    shift.damage[1] = shift.damage[2] = shift.damage[3] = 0.0f;
    shift.frameCounter = 0;
    shift.pendingFare = 0;
    shift.score = 0;
    shift.turboLevel = shift.radiatorLevel = shift.brakeLevel = shift.tyreLevel = 0;
    player.x = 1040.0f;
    player.y = 1034.0f;
    player.travel = 0.0f;
    player.travelRate = 0.1f;
    player.heading = 0.0f;
    player.vx = player.vy = 0.0f;
    player.turnRate = 0.0f;
    // The direction fields follow the new heading, not the last game's.
    rotateBody(player, 0.0);
}

void setupTables(Game& game) {
    // Every run plays differently: the seed is the clock in microseconds.
    double micros = std::floor(clockSeconds() * 1e6);
    if (micros < 0) micros = -micros;
    seedRandom(static_cast<uint64_t>(std::fmod(micros, 18446744073709551616.0)));
    fillTrigTables();
    buildGarageList(game.state);
    bindDefaultKeys(game.keys);
}

namespace {

// One arcade game: a new city, a fresh shift with the turbo at stage 1, a random
// driving track and four minutes on the clock.
void playArcadeGame(Game& game) {
    drawBusyIcon(game.screen);
    generateCityMap(*game.city, game.state.shadeTable);
    newGameReset(game.shift, game.player);
    game.shift.turboLevel = 1;
    openTrack(game.audio, randomChoice(4) + 1);
    setTimeLimit(game.shift, 4);
    runShift(game, *game.view);
}

}  // namespace

void runProgram(Game& game) {
    drawBusyIcon(game.screen);
    const Image& target = renderTarget(game.screen);
    initView(*game.city, *game.view, game.shift, target.width, target.height);
    if (!loadGraphicsPack(game.state, game.font, game.screen)) {
        // The loader has said what is wrong with the pack; without it there is
        // nothing to draw.
        endProcess(1);
    }
    setupTables(game);

    // Every return to the main menu starts the menu theme from its beginning.
    for (;;) {
        openTrack(game.audio, 1);
        switch (runMainMenu(game)) {
            case MenuArcade:
                playArcadeGame(game);
                break;
            case MenuCareer:
                // The career opens its own music: the garage's, then a driving track.
                runCareer(game);
                break;
            case MenuOptions:
                runOptions(game);
                break;
            case MenuHelp:
                openTrack(game.audio, 2);
                runHelpPages(game, 1);
                break;
            case MenuExit:
                transition(game.screen, game.audio, game.timer, FadeOut);
                showExitScreen(game);
            default:
                break;
        }
    }
}

int runGame(Game& game, WindowBackend& window) {
    setActiveWindow(&window);
    setWindowCloseHandler([&game] { showExitScreen(game); });
    consoleClear();
    logLine(std::to_string(kilobytesRounded(freeMemoryBytes())) + " Kbytes free");
    logLine("Map size is 20480 Kbytes");
    initAudio(game.audio);
    selectDisplayMode(game.screen);
    game.screen.renderWidth = RenderWidth;
    game.screen.renderHeight = RenderHeight;
    game.screen.keys = &game.keys;
    openScreen(game.screen, RenderModeSoftware, 0);
    try {
        if (!game.city) game.city = newCityMap();
        if (!game.view) game.view = new ViewTables();
        if (!game.traffic) game.traffic = new TrafficCar[TrafficCarCount]();
    } catch (const std::bad_alloc&) {
        logLine("Not enough memory for the city map");
        endProcess(1);
    }
    runProgram(game);
}

int runGame() {
    // All of the game's records, zero-filled, for the whole run.
    static Game game;
    std::string error;
    std::unique_ptr<WindowBackend> window = createSdlWindow(&error);
    if (!window) {
        logLine("Cannot open a display: " + error);
        endProcess(1);
    }
    return runGame(game, *window);
}

}  // namespace hc
