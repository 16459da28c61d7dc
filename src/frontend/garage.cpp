#include "frontend/garage.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "assets/font.h"
#include "core/random.h"
#include "frontend/game.h"
#include "frontend/menus.h"
#include "platform/audio.h"
#include "platform/dissolve.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "render/hud.h"
#include "core/colours.h"

namespace hc {

namespace {

constexpr int GaragePictureWidth = 640;
constexpr int GaragePictureHeight = 320;
constexpr int32_t WearPricePerPercent = 6;
constexpr int32_t RepairPriceLimit = 600;

constexpr std::string_view RefusalLines[4] = {
    "you are broke, bro!", "come back when you get any cash!", "no deal!", "you need to work some more!"};

constexpr const char* UnsavedLine = "your career could not be saved!";
// The greeting when the career is not written at all this run (another game has the
// save folder, or its file is from a newer game or cannot be read).
constexpr const char* NotSavingLine = "this career is not being saved!";

std::string saleLine(int32_t cost) {
    switch (randomChoice(4)) {
        case 0: return "that was $" + std::to_string(cost) + "!";
        case 1: return "consider it done!";
        case 2: return "a fine choice.";
        default: return "yes, very well.";
    }
}

// The garage picture with the icon on the selected entry's spot, scaled onto the
// screen, with the label, the entry's line, the bank and the price around it.
void drawGarage(Game& game, Image* work, int selected, int32_t& cost, std::string& message) {
    Image& target = renderTarget(game.screen);
    const GarageItem& item = game.state.garage[selected];
    if (work) {
        fillImage(*work, 0);
        if (game.state.garageBackdrop) blitImage(*game.state.garageBackdrop, *work, 0, 0, false);
        if (game.state.garageIcon) blitImage(*game.state.garageIcon, *work, item.hotspotX, item.hotspotY, true);
    }
    fillImage(target, colourIndex(game.screen, ColourBlack));
    drawImageScaled(target, work, -1, -1);

    printText(game.font, target, -1, 0, item.label, 1);
    const GarageOffer offer = garageOffer(item, game.shift);
    cost = offer.cost;
    if (!offer.info.empty()) printText(game.font, target, -1, 10, offer.info, 1);
    printText(game.font, target, 0, target.height - 20, "bank: $" + std::to_string(game.shift.score), 1);
    if (cost > 0) {
        printText(game.font, target, target.width - 100, target.height - 20, "cost: $" + std::to_string(cost), 1);
    }
    if (!message.empty()) {
        drawSpeechBubble(game.font, target, -1, static_cast<int>(std::nearbyint(0.75 * target.height)), message);
        message.clear();
    }
    presentFrame(game.screen);
}

}  // namespace

void buildGarageList(GameState& state) {
    struct Entry {
        int32_t x, y;
        const char* label;
        int8_t repairKind;
        int8_t Shift::*stage;
    };
    static const Entry entries[GarageItemCount + 1] = {
        {0, 0, "", 0, nullptr},
        {86, 242, "Tune the radio", 0, nullptr},
        {128, 227, "Upgrade: turbo", 0, &Shift::turboLevel},
        {167, 110, "Go to work", 0, nullptr},
        {174, 185, "Fix bodywork damage", 1, nullptr},
        {307, 174, "Upgrade: brake system", 0, &Shift::brakeLevel},
        {332, 92, "Upgrade: radiator/cooling", 0, &Shift::radiatorLevel},
        {345, 170, "Repair brake system", 2, nullptr},
        {389, 224, "Fill the tank", 0, nullptr},
        {510, 226, "Upgrade: racing tires", 0, &Shift::tyreLevel},
        {602, 59, "Save and exit", 0, nullptr},
    };
    for (int i = 0; i <= GarageItemCount; ++i) {
        GarageItem& item = state.garage[i];
        item.hotspotX = entries[i].x;
        item.hotspotY = entries[i].y;
        item.label = entries[i].label;
        item.repairKind = entries[i].repairKind;
        item.stageRef = entries[i].stage;
    }
}

int wearPercent(const Shift& shift, int kind) {
    if (kind < 1 || kind > 3) return 0;
    // Wear lies in 0..1; a value that is not a number shows as none, never reaching the
    // integer conversion.
    const double percent = std::nearbyint(100.0 * static_cast<double>(shift.damage[kind]));
    if (!(percent >= 0.0)) return 0;
    return percent > 100.0 ? 100 : static_cast<int>(percent);
}

GarageOffer garageOffer(const GarageItem& item, const Shift& shift) {
    GarageOffer offer;
    if (item.repairKind >= 1) {
        const int w = wearPercent(shift, item.repairKind);
        offer.cost = std::min(WearPricePerPercent * w, RepairPriceLimit);  // w is 0..100: never below 0
        offer.info = std::to_string(w) + "% worn";
    } else if (item.stageRef) {
        const int stage = shift.*item.stageRef;
        if (stage >= GarageTopStage) {
            offer.info = "(maxed out)";
        } else {
            offer.cost = 200 * stage + 200;
            offer.info = "stage " + std::to_string(stage);
        }
    }
    return offer;
}

bool runGarage(Game& game, const std::function<bool()>& save) {
    Image* work = createImage(GaragePictureWidth, GaragePictureHeight);
    int selected = GarageGoToWork;
    int32_t cost = 0;
    std::string message = game.saved.careerSaved() ? "this is your garage! take a look around." : NotSavingLine;

    Image& target = renderTarget(game.screen);
    fillImage(target, colourIndex(game.screen, ColourBlack));
    drawImageScaled(target, game.state.garageBackdrop, -1, -1);
    transition(game.screen, game.audio, game.timer, FadeIn);

    bool leave = false;
    bool toldUnsaved = false;
    while (!leave) {
        drawGarage(game, work, selected, cost, message);
        const int action = waitAnyAction(game.keys, game.audio);
        if (game.keys.quit) break;  // the career's owner saves what the garage changed
        if (action == ActionLeft) {
            selected = selected == 1 ? GarageItemCount : selected - 1;
        } else if (action == ActionRight) {
            selected = selected == GarageItemCount ? 1 : selected + 1;
        } else if (action == ActionBack) {
            selected = GarageSaveAndExit;
            leave = true;
        } else if (action == ActionSelect) {
            if (cost > 0) {
                if (game.shift.score < cost) {
                    message = RefusalLines[randomChoice(4)];
                    continue;
                }
                game.shift.score -= cost;
                message = saleLine(cost);
            }
            GarageItem& item = game.state.garage[selected];
            if (selected == GarageRadio) {
                nextTrack(game.audio);
            } else if (selected == GarageGoToWork || selected == GarageSaveAndExit) {
                leave = true;
            } else if (item.repairKind >= 1) {
                game.shift.damage[item.repairKind] = 0.0f;
            } else if (item.stageRef) {
                int8_t& stage = game.shift.*item.stageRef;
                if (stage < GarageTopStage) stage = static_cast<int8_t>(stage + 1);
            }
        }
        // Leaving for the menu saves; a save that failed is said, not pretended, and
        // the next try to leave leaves whatever happens.
        if (leave && selected == GarageSaveAndExit && save && !save() && !toldUnsaved) {
            message = UnsavedLine;
            toldUnsaved = true;
            leave = false;
        }
    }

    if (!game.keys.quit) transition(game.screen, game.audio, game.timer, FadeOut);
    destroyImage(work);
    return leave && selected == GarageGoToWork;
}

}  // namespace hc
