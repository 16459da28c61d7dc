#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace hc {

struct Game;
struct GameState;
struct GarageItem;
struct Shift;

// Garage entries with a role of their own.
constexpr int GarageRadio = 1;
constexpr int GarageGoToWork = 3;
constexpr int GarageSaveAndExit = 10;
constexpr int GarageTopStage = 3;

// Fills the garage's ten entries (labels, icon spots, what each repairs or upgrades).
void buildGarageList(GameState& state);

// Runs the garage until the player leaves: true for "Go to work", false for "Save and
// exit" or the exit key. Purchases are paid from the shift's score at once. Leaving
// calls save (when given); when it fails, the shopkeeper says so and the player stays
// until leaving once more. A window being closed (keys.quit) leaves at once with false,
// without calling save.
bool runGarage(Game& game, const std::function<bool()>& save = {});

// What the garage shows and charges for an entry in the shift's present state.
struct GarageOffer {
    int32_t cost = 0;   // 0: nothing to pay
    std::string info;   // the line under the label; empty for none
};
GarageOffer garageOffer(const GarageItem& item, const Shift& shift);

// The wear of damage kind 1..3 in whole percent, rounded half to even.
int wearPercent(const Shift& shift, int kind);

}  // namespace hc
