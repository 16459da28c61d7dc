#pragma once

#include "city/city_map.h"
#include "frontend/font.h"
#include "platform/audio.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "shell/core/frame_timer.h"
#include "shell/core/records.h"
#include "shell/game_state.h"

namespace hc {

constexpr int TrafficCarCount = 128;
struct TrafficCar;
struct ViewTables;

// Every record of a running game, created zero-filled once and kept for the whole
// run. Screens receive the whole of it; the subsystems take only the records they
// work on.
struct Game {
    ScreenContext screen;
    AudioEngine audio;
    KeyBindings keys;
    FontSet font;
    FrameTimer timer;
    CityMap* city = nullptr;          // about 20 MB, on the heap
    ViewTables* view = nullptr;       // the world view's tables, built once at start-up
    PlayerCar player;
    TrafficCar* traffic = nullptr;    // TrafficCarCount cars, on the heap
    Shift shift;
    GameState state;
};

}  // namespace hc
