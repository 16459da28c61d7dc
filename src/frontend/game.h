#pragma once

#include "assets/font.h"
#include "assets/game_state.h"
#include "city/city_map.h"
#include "core/actions.h"
#include "core/frame_timer.h"
#include "core/records.h"
#include "core/replay_file.h"
#include "core/saved_records.h"
#include "frontend/assists.h"
#include "platform/audio.h"
#include "platform/screen.h"

namespace hc {

constexpr int TrafficCarCount = 128;
struct TrafficCar;
struct ViewTables;

// Every record of a running game, created zero-filled once and kept for the whole
// run. The screens and the shell receive the whole of it; the subsystems below take
// only the records they work on.
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
    SavedRecords saved;               // career, best scores, settings kept between runs
    Assists assists;                  // the newcomer's guide, its sounds and lines
    Recording recording;              // the shift being driven, or the last one, frame by frame
    bool recordingLost = false;       // ...except that it could not all be recorded
};

}  // namespace hc
