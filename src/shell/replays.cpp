#include "shell/replays.h"

#include <cmath>
#include <cstring>

#include "core/random.h"
#include "core/system.h"
#include "frontend/game.h"
#include "platform/input_source.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "shell/command_line.h"
#include "shell/new_game.h"
#include "shell/saves.h"
#include "shell/shift_loop.h"
#include "sim/traffic.h"
#include "frontend/garage.h"

namespace hc {

static_assert(MaxReplayStage == GarageTopStage, "a recording holds the garage's stages");

namespace {

// The watcher's keys during playback, by scan code, and the screenshot key as bound.
constexpr int EscKey = 1, SpaceKey = 57, RightKey = 77;
constexpr int WatcherKeyCount = 4;

// Feeds the game the actions of one recorded frame at a time. The screenshot key is the
// watcher's own (handled with the other watcher keys), not the one pressed in the shift:
// watching a shift grabs no pictures of its own accord.
class RecordedInput final : public InputSource {
public:
    const ReplayFrame* frame = nullptr;
    ActionMask held(const KeyBindings&) const override {
        return frame ? frame->held & ~ReplayForgotten & ~actionBit(ActionScreenshot) : 0;
    }
    bool takeForgotten() override { return frame && (frame->held & ReplayForgotten) != 0; }
};

// The watcher's keys act on their release, as the game's keys do, so that nothing of
// them is left for the screen that comes after the playback.
struct WatcherKeys {
    bool down[WatcherKeyCount] = {};
    bool pressed[WatcherKeyCount] = {};  // released since the last read
    void read(WindowBackend& window, int screenshotKey) {
        const int codes[WatcherKeyCount] = {EscKey, SpaceKey, RightKey, screenshotKey};
        for (int k = 0; k < WatcherKeyCount; ++k) {
            const bool now = window.keyDown(codes[k]);
            pressed[k] = !now && down[k];
            down[k] = now;
        }
    }
};

// What playback changes in the run's own records, put back when it ends.
struct RunState {
    explicit RunState(Game& game)
        : game_(game), random_(randomState()), recording_(game.recording), lost_(game.recordingLost),
          assists_(game.assists), shiftAssists_(game.shift.assists), settingsLoaded_(game.saved.settingsLoaded),
          lowDetail_(game.saved.settings.lowDetail) {}
    ~RunState() {
        setSoleInputSource(nullptr);
        setRandomState(random_);
        game_.recording = std::move(recording_);
        game_.recordingLost = lost_;
        game_.assists = assists_;
        game_.shift.assists = shiftAssists_;
        game_.saved.settingsLoaded = settingsLoaded_;
        game_.saved.settings.lowDetail = lowDetail_;
        // The recording's actions are not the player's: none of them is released later.
        setHeld(game_.keys.now, 0);
        setHeld(game_.keys.previous, 0);
    }

private:
    Game& game_;
    RandomState random_;
    Recording recording_;
    bool lost_;
    Assists assists_;
    uint8_t shiftAssists_;
    bool settingsLoaded_, lowDetail_;
};

void loseRecording(Game& game, const std::string& why) {
    if (game.recordingLost) return;
    game.recordingLost = true;
    game.recording.frames.clear();
    game.recording.frames.shrink_to_fit();
    logLine("This shift is not recorded: " + why);
}

uint64_t fnv(const void* data, size_t size, uint64_t hash) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}
template <typename T>
uint64_t fnvValue(const T& value, uint64_t hash) {
    return fnv(&value, sizeof value, hash);
}

}  // namespace

void startRecording(Game& game) {
    ReplayStart& s = game.recording.start;
    const Shift& shift = game.shift;
    s.money = s.kind == ReplayKind::Career ? shift.score : 0;
    s.stages[0] = shift.turboLevel, s.stages[1] = shift.radiatorLevel;
    s.stages[2] = shift.brakeLevel, s.stages[3] = shift.tyreLevel;
    for (int k = 0; k < 3; ++k) s.wear[k] = shift.damage[k + 1];
    s.assists = shift.assists;
    s.lowDetail = shift.lowDetail;
    s.previousHeld = heldMask(game.keys.now);
    s.cabX = game.player.x, s.cabY = game.player.y;
    game.recording.gameVersion = versionLine();
    game.recording.frames.clear();
    game.recording.frames.reserve(4 * 60 * 60);
}

ActionMask recordedActions(const Game& game) {
    const Recording& r = game.recording;
    const ActionMask before = r.frames.empty() ? r.start.previousHeld : r.frames.back().held & ~ReplayForgotten;
    // A poll that forgot the held actions made the previous state the new one.
    const ActionMask held = heldMask(game.keys.now);
    return heldMask(game.keys.previous) != before ? held | ReplayForgotten : held;
}

void recordFrame(Game& game, ActionMask held) {
    // A free ride is never kept, and may run for hours: it is not recorded.
    if (game.recordingLost || isOn(game.shift.freeRide)) return;
    const ReplayFrame frame{frameDelta(game.timer), held};
    if (!recordableFrame(frame)) {
        loseRecording(game, "a frame's length is out of range");
    } else if (game.recording.frames.size() >= MaxReplayFrames) {
        loseRecording(game, "it has more frames than a recording can hold");
    } else {
        game.recording.frames.push_back(frame);
    }
}

PlaybackResult playRecording(Game& game, ViewTables& view, const Recording& recording, bool viewer) {
    const RunState run(game);
    const ReplayStart& s = recording.start;
    setRandomState(s.random);
    prepareShift(game, s.kind == ReplayKind::Career ? ShiftKind::Career : ShiftKind::Arcade);
    Shift& shift = game.shift;
    shift.score = s.money;
    shift.turboLevel = s.stages[0], shift.radiatorLevel = s.stages[1];
    shift.brakeLevel = s.stages[2], shift.tyreLevel = s.stages[3];
    for (int k = 0; k < 3; ++k) shift.damage[k + 1] = s.wear[k];
    shift.assists = s.assists;
    game.player.x = s.cabX, game.player.y = s.cabY;
    game.assists.coachStep = s.coachStep;
    game.assists.timedShiftRan = isOn(s.timedShiftRan);
    game.assists.lastDelivered = s.lastDelivered;
    game.assists.rideSuggested = isOn(s.rideSuggested);
    // The detail level is put at the shift's start from the settings.
    game.saved.settingsLoaded = true;
    game.saved.settings.lowDetail = isOn(s.lowDetail);

    RecordedInput input;
    setSoleInputSource(&input);
    beginShift(game, view);
    setHeld(game.keys.now, s.previousHeld);
    ShiftProfile profile;
    resetShiftProfile(profile, clockSeconds());
    resetFrameTimer(game.timer);

    PlaybackResult result;
    WatcherKeys watcher;
    bool paused = false, fast = false;
    double due = clockSeconds();
    while (result.frames < static_cast<int64_t>(recording.frames.size()) && shift.minutesLeft >= 0) {
        const ReplayFrame& frame = recording.frames[result.frames];
        // The frame runs for the length of the one before it, as it was driven.
        const double seconds = frameDelta(game.timer) / 50.0;
        input.frame = &frame;
        simulateAndDrawFrame(game, view, profile);
        if (game.keys.quit) break;
        const bool present = !viewer || !fast || result.frames % 2 == 0;
        finishFrame(game, profile, &frame.delta, present);
        ++result.frames;
        if (!viewer) continue;
        WindowBackend* window = activeWindow();
        if (!window) continue;
        due += std::fmin(seconds, 0.5) / (fast ? 2.0 : 1.0);
        for (;;) {
            watcher.read(*window, game.keys.scancode[ActionScreenshot]);
            if (watcher.pressed[0]) break;
            if (watcher.pressed[1]) paused = !paused;
            if (watcher.pressed[2]) fast = !fast;
            // The picture last drawn, paused or not.
            if (watcher.pressed[3]) saveScreenshot(game.screen, localDateTime(), "", nullptr);
            if (window->takeCloseRequest()) game.keys.quit = true;
            if (game.keys.quit || (!paused && clockSeconds() >= due)) break;
            sleepMilliseconds(1);
            updateAudio(game.audio);
            window->processEvents();
            if (paused) due = clockSeconds();
        }
        if (watcher.pressed[0] || game.keys.quit) break;
    }
    result.complete = result.frames == static_cast<int64_t>(recording.frames.size());
    result.score = shift.score;
    return result;
}

uint64_t shiftDigest(const Game& game) {
    uint64_t h = 14695981039346656037ull;
    const Shift& shift = game.shift;
    h = fnvValue(shift.score, h);
    h = fnvValue(shift.passengerAboard, h);
    h = fnvValue(shift.deliveredCount, h);
    for (int k = 1; k <= PassengerSlots; ++k) {
        h = fnvValue(shift.passengers[k].pickup.x, h), h = fnvValue(shift.passengers[k].pickup.y, h);
        h = fnvValue(shift.passengers[k].delivered, h);
    }
    for (float wear : shift.damage) h = fnvValue(wear, h);
    const PlayerCar& cab = game.player;
    for (float v : {cab.x, cab.y, cab.heading, cab.vx, cab.vy}) h = fnvValue(v, h);
    for (int i = 0; game.traffic && i < TrafficCarCount; ++i) {
        const Body& car = game.traffic[i].motion;
        for (float v : {car.x, car.y, car.heading}) h = fnvValue(v, h);
    }
    return h;
}

std::string replayPath(const char* name) { return saveFolder() + "/" + ReplayFolderName + "/" + name; }

bool saveRecording(Game& game, const char* name) {
    if (game.recordingLost) return false;
    return saveReplayFile(game, ReplayFolderName, name, recordingBytes(game.recording));
}

bool loadRecording(const std::string& path, Recording& recording, std::string& line) {
    std::string reason;
    Recording read;
    if (!readRecordingFile(path, read, reason)) {
        line = "Cannot play " + path + ": " + reason;
        return false;
    }
    if (read.gameVersion != versionLine()) {
        line = "Cannot play " + path + ": it was recorded by " + read.gameVersion.substr(0, 64) + ", not " + versionLine();
        return false;
    }
    recording = std::move(read);
    return true;
}

}  // namespace hc
