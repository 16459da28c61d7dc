#include "shell/startup.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include "assets/graphics_pack.h"
#include "core/data_path.h"
#include "core/random.h"
#include "core/system.h"
#include "core/tables.h"
#include "frontend/best_scores.h"
#include "frontend/busy_icon.h"
#include "frontend/game.h"
#include "frontend/garage.h"
#include "frontend/help_pages.h"
#include "frontend/menus.h"
#include "frontend/options.h"
#include "platform/audio.h"
#include "platform/console.h"
#include "platform/dissolve.h"
#include "platform/gamepad.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "platform/game_window.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "render/world_view.h"
#include "shell/career.h"
#include "shell/exit_screen.h"
#include "shell/new_game.h"
#include "shell/replays.h"
#include "shell/saves.h"
#include "shell/shift_loop.h"
#include "sim/traffic.h"

namespace hc {

uint64_t kilobytesRounded(uint64_t bytes) {
    const uint64_t whole = bytes / 1024, rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && whole % 2 == 1)) return whole + 1;
    return whole;
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

void playMenuChoice(Game& game, int choice) {
    switch (choice) {
        case MenuArcade:
        {
            prepareShift(game, ShiftKind::Arcade);
            // The best-score line under the score is an assist: classic mode enters the
            // score in the table all the same but shows only the game's two lines.
            bool newBest = false;
            runShift(
                game,
                [&game, &newBest](int64_t score) {
                    const std::string line = enterArcadeScore(game, score);
                    newBest = line == NewBestScoreLine;
                    return isOn(game.shift.assists) ? line : std::string();
                },
                true);
            saveRecording(game, LastShiftReplay);
            if (newBest) saveRecording(game, BestShiftReplay);
            break;
        }
        case MenuCityOfDay: {
            // Every player's city today: the random source is seeded from the date for
            // the shift, and the run's own numbers go on afterwards where they were.
            const RandomState run = randomState();
            const std::string date = todayText();
            prepareShift(game, ShiftKind::Arcade, todayNumber());
            runShift(game, [&game, &date](int64_t score) { return enterDayScore(game, score, date); }, true);
            setRandomState(run);
            nextRandom();
            saveRecording(game, LastShiftReplay);
            break;
        }
        case MenuFreeRide:
            // No clock, so no best score either.
            prepareShift(game, ShiftKind::FreeRide);
            runShift(game, [](int64_t) { return std::string(FreeRideNote); });
            game.shift.freeRide = FlagOff;
            break;
        case MenuCareer:
            // The career opens its own music: the garage's, then a driving track.
            runCareer(game);
            break;
        case MenuBestScores:
            loadDayScores(game);
            runBestScores(game, bestScoresLines(game.saved.best, game.saved.dayBest, todayText()), watchBestShift);
            break;
        case MenuOptions:
            runOptions(game);
            break;
        case MenuHelp:
            openTrack(game.audio, 2);
            runHelpPages(game, 1);
            break;
        case MenuExit:
            keepSettings(game);
            transition(game.screen, game.audio, game.timer, FadeOut);
            showExitScreen(game);
        default:
            break;
    }
}

int playMenuRound(Game& game) {
    // Every return to the main menu starts the menu theme from its beginning.
    openTrack(game.audio, 1);
    const int choice = runMainMenu(game);
    if (!game.keys.quit) playMenuChoice(game, choice);
    // Settings changed in the options, in a shift (music, detail) or with the full-screen
    // key are remembered from here.
    keepSettings(game);
    return choice;
}

bool loadGameGraphics(Game& game, const std::string& path) {
    Rgb palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = paletteEntry(game.screen, i);
    const int bytesPerPixel = game.screen.renderBuffer ? game.screen.renderBuffer->bytesPerPixel : 1;
    return loadGraphicsPack(game.state, game.font, palette, bytesPerPixel, path);
}

void watchRecording(Game& game, const Recording& recording) {
    // A watch left with Esc before its end just ends: its score picture would show the
    // score of the moment, not the shift's.
    if (playRecording(game, *game.view, recording, true).complete && !game.keys.quit) {
        showTimeUp(game);
        waitOnTimeUp(game);  // a close here ends the game: no fade below
    }
    if (!game.keys.quit) transition(game.screen, game.audio, game.timer, FadeOut);
}

std::string watchBestShift(Game& game) {
    const std::string path = replayPath(BestShiftReplay);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return NoBestShiftLine;
    Recording best;
    std::string line;
    if (!loadRecording(path, best, line)) {
        logLine(line);
        return UnplayableBestShiftLine;
    }
    transition(game.screen, game.audio, game.timer, FadeOut);
    watchRecording(game, best);
    // Back to the menu's music for the page.
    if (!game.keys.quit) openTrack(game.audio, 1);
    return {};
}

void runProgram(Game& game, const Recording* replay) {
    drawBusyIcon(game.screen);
    const Image& target = renderTarget(game.screen);
    initView(*game.city, *game.view, game.shift, target.width, target.height);
    logLine("Data folder: " + dataFolder());
    if (!loadGameGraphics(game)) {
        // The loader has said what is wrong with the pack; without it there is
        // nothing to draw.
        endProcess(1);
    }
    setupTables(game);
    // A close request or a signal that came while the data was loading ends the game
    // here, before the menu.
    pollKeys(game.keys);
    if (replay && !game.keys.quit) watchRecording(game, *replay);
    while (!game.keys.quit) playMenuRound(game);
    // The window is being closed: every loop has returned, each saving what it held.
    keepSettings(game);
    showExitScreen(game);
}

int runGame(Game& game, WindowBackend& window, Gamepads* pads, const Recording* replay) {
    setActiveWindow(&window);
    consoleClear();
    logLine(std::to_string(kilobytesRounded(freeMemoryBytes())) + " Kbytes free");
    logLine("Map size is 20480 Kbytes");
    initAudio(game.audio);
    selectDisplayMode(game.screen);
    game.screen.renderWidth = RenderWidth;
    game.screen.renderHeight = RenderHeight;
    game.screen.keys = &game.keys;
    openScreen(game.screen, RenderModeSoftware, 0);
    if (pads) {
        std::string error;
        if (pads->start(&error)) {
            setActiveGamepads(pads);
        } else {
            logLine("Game controllers cannot be used: " + error);
        }
    }
    loadSavedRecords(game);
    try {
        if (!game.city) game.city = newCityMap();
        if (!game.view) game.view = new ViewTables();
        if (!game.traffic) game.traffic = new TrafficCar[TrafficCarCount]();
    } catch (const std::bad_alloc&) {
        logLine("Not enough memory for the city map");
        endProcess(1);
    }
    runProgram(game, replay);
}

int runGame(const StartOptions& options) {
    // All of the game's records, zero-filled, for the whole run.
    static Game game;
    std::string error;
    std::unique_ptr<WindowBackend> window = createGameWindow(&error, options.fullscreen);
    if (!window) {
        logLine("Cannot open a display: " + error);
        endProcess(1);
    }
    static Gamepads pads;
    return runGame(game, *window, &pads, options.replay);
}

}  // namespace hc
