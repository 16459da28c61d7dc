#pragma once
// Every arcade and career shift is recorded as it is driven (game.recording) and can be
// played back exactly: the same city, passengers, traffic, pictures and score. The best
// arcade shift and the last shift are kept as files in the save folder's replays folder.
#include <cstdint>
#include <string>

#include "core/replay_file.h"

namespace hc {

struct Game;
struct ViewTables;

constexpr const char* ReplayFolderName = "replays";
constexpr const char* LastShiftReplay = "last-shift.replay";
constexpr const char* BestShiftReplay = "best-arcade.replay";

// The recording's side of the shift loop. startRecording fills what the shift starts from
// (prepareShift has set the random source, the kind, the day and the guide's state) once
// the shift's first picture is shown. recordedActions gives the actions the frame's poll left, and whether
// it forgot the ones held before; recordFrame adds the frame with the frame timer's length
// after it. A shift too long or too fast to record is lost with one console line, and the
// game goes on.
void startRecording(Game& game);
ActionMask recordedActions(const Game& game);
void recordFrame(Game& game, ActionMask held);

// Plays a recording on the game, from its city to its last frame, drawing every frame as
// it was shown. The viewer (the player watching in the window) paces it as it was driven
// and may leave with the exit key's Esc, pause with space and double the speed with
// Right; otherwise it runs as fast as it can. What the run had before (the random source,
// the shift's switches and the guide's state, the recording, the input sources) is put
// back afterwards.
struct PlaybackResult {
    int64_t frames = 0;      // frames played
    bool complete = false;   // every frame of the recording was played
    int64_t score = 0;
};
PlaybackResult playRecording(Game& game, ViewTables& view, const Recording& recording, bool viewer);

// A digest of the shift's state: score, passengers, the cab and every traffic car.
uint64_t shiftDigest(const Game& game);

// The replays folder and a recording file in it.
std::string replayPath(const char* name);
// Writes game.recording as name in the replays folder (atomically, as the other saves);
// false after one console line when it cannot, or when this game saves nothing.
bool saveRecording(Game& game, const char* name);
// Reads a recording to play in this game. False with the one line to show: the file's
// reader's refusal, or a recording made by another version of the game.
bool loadRecording(const std::string& path, Recording& recording, std::string& line);

}  // namespace hc
