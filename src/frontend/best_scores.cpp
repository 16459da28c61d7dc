#include "frontend/best_scores.h"

#include <string>

#include "assets/font.h"
#include "draw/grey_frame.h"
#include "frontend/game.h"
#include "frontend/help_pages.h"
#include "frontend/menus.h"
#include "platform/dissolve.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "render/view_rounding.h"
#include "core/colours.h"

namespace hc {

namespace {

// A row with a date: place, score and date in columns of 3, 2 + 7 and 3 + 10 characters.
constexpr int TableRowChars = 25;

std::string padLeft(std::string text, size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

}  // namespace

std::vector<std::string> bestScoresLines(const std::vector<BestScore>& best, const std::vector<BestScore>& dayBest,
                                         std::string_view today) {
    std::vector<std::string> lines;
    for (int place = 1; place <= BestScoreCount; ++place) {
        const bool taken = place <= static_cast<int>(best.size());
        const BestScore* entry = taken ? &best[static_cast<size_t>(place - 1)] : nullptr;
        std::string line = padLeft(std::to_string(place) + ".", 3) + "  " + padLeft(entry ? std::to_string(entry->score) : "-", 7);
        if (entry) line += "   " + entry->date;
        lines.push_back(line);
    }
    lines.emplace_back();
    const bool todays = !dayBest.empty() && dayBest.front().date == today;
    lines.push_back("city of the day " + std::string(today) + ": " +
                    (todays ? "best " + std::to_string(dayBest.front().score) : std::string("no score yet")));
    return lines;
}

void drawBestScoresPage(Game& game, const std::vector<std::string>& lines, std::string_view note) {
    Image& target = renderTarget(game.screen);
    const int width = target.width, height = target.height;
    fillImage(target, colourIndex(game.screen, ColourBlack));
    drawImageScaled(target, game.state.menuBackdrop, -1, -1);
    greyFrame(target, game.state.greyTable);
    drawTitleBar(game.font, target, "best scores");

    // The table in the menus' bold letters, every row from the same column; the day's
    // line and the note centred under it in the narrow ones.
    const HelpLayout layout = helpLayout(height);
    const int step = height <= 240 ? 12 : 20;
    int y = layout.firstLine + step;
    const int x = roundAny((width - 10.0 * TableRowChars) / 2.0);
    for (size_t i = 0; i < lines.size(); ++i, y += step) {
        const bool table = i < static_cast<size_t>(BestScoreCount);
        printText(game.font, target, table ? x : -1, y, lines[i], table ? 2 : 3);
    }
    if (!note.empty()) printText(game.font, target, -1, y + step, note, 3);

    const int foot = height - layout.margin - 15;
    printText(game.font, target, 5, foot, ".", 4);
    printText(game.font, target, 20, foot, "watch the best shift", 3);
    printText(game.font, target, width - 50, foot, ",", 4);
    printText(game.font, target, width - 35, foot, "back", 3);
}

void runBestScores(Game& game, const std::vector<std::string>& lines, const WatchBest& watch) {
    std::string note;
    bool fadeIn = true;
    for (;;) {
        drawBestScoresPage(game, lines, note);
        if (fadeIn) transition(game.screen, game.audio, game.timer, FadeIn), fadeIn = false;
        presentFrame(game.screen);
        // Any other key shows the page again, for the screenshot key.
        const int action = waitAnyAction(game.keys, game.audio);
        if (game.keys.quit) return;
        if (action == ActionBack) break;
        if (action != ActionSelect) continue;
        note = watch(game);
        if (game.keys.quit) return;
        fadeIn = note.empty();
    }
    transition(game.screen, game.audio, game.timer, FadeOut);
}

}  // namespace hc
