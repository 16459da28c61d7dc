// One arcade game, from the first picture to the final score.
#include "shell/shift_loop.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/system.h"
#include "draw/grey_frame.h"
#include "frontend/game.h"
#include "platform/audio.h"
#include "platform/dissolve.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "render/damage_overlay.h"
#include "render/hud.h"
#include "render/map_view.h"
#include "render/minimap.h"
#include "render/world_view.h"
#include "shell/replays.h"
#include "shell/saves.h"
#include "sim/passengers.h"
#include "sim/player_car.h"
#include "sim/traffic.h"
#include "core/colours.h"

namespace hc {

namespace {

constexpr const char* PhaseLabels[ProfilePhaseCount + 1] = {"", "player ", "render ", "hud    ", "traffic", "screen "};

WorldViewScene worldScene(Game& game, ViewTables& view) {
    return {*game.city, view, game.player, game.shift, game.state, renderTarget(game.screen), assistGuide(game)};
}

inline int8_t channelFlag(bool on) { return on ? int8_t{-1} : int8_t{0}; }

// The car's sounds go to channels 2 to 4; the music key switches channel 1.
void playCarSound(AudioEngine& audio, const CarSound& sound) {
    AudioChannel& engine = audio.channels[EngineChannel];
    engine.oscillators[1].frequency = sound.engineFrequency;
    engine.oscillators[2].frequency = 1.25 * sound.engineFrequency;
    engine.oscillators[3].frequency = 0.124 * sound.engineFrequency;
    engine.enabled = channelFlag(sound.engineOn);

    AudioChannel& skid = audio.channels[SkidChannel];
    skid.enabled = channelFlag(sound.skidOn);
    setChannelGain(skid, sound.skidGain);

    AudioChannel& turbo = audio.channels[TurboChannel];
    turbo.oscillators[1].frequency = 2.0 * sound.engineFrequency;
    turbo.oscillators[2].frequency = 0.0;
    setChannelGain(turbo, sound.turboGain);
    turbo.enabled = channelFlag(sound.turboOn);

    if (sound.musicToggled) {
        int8_t& music = audio.channels[MusicChannel].enabled;
        music = static_cast<int8_t>(~music);
    }
}

HudScene hudScene(Game& game) {
    return {game.shift, game.player, game.state, game.font, renderTarget(game.screen), frameDelta(game.timer)};
}

}  // namespace

void resetShiftProfile(ShiftProfile& profile, double now) {
    for (int i = 0; i <= ProfilePhaseCount; ++i) {
        profile.phases[i] = {PhaseLabels[i], 0.0};
        profile.marks[i] = 0.0;
    }
    profile.frameTotal = 10.0;
    profile.clockAhead = 0.0;
    profile.marks[1] = now;
}

std::string scoreLine(int64_t score) { return "Your score: " + std::to_string(score); }

void beginShift(Game& game, ViewTables& view) {
    ensureHeavyDamageOverlay(game.state);
    startShift(game.shift, game.player, *game.city, game.traffic, TrafficCarCount);
    applyShiftSettings(game);
    markPickups(game.shift, *game.city);
    const char* assistLine = beginAssists(game);

    Image& target = renderTarget(game.screen);
    fillImage(target, colourIndex(game.screen, ColourBlack));
    renderWorldView(worldScene(game, view));
    drawHud(hudScene(game));
    transition(game.screen, game.audio, game.timer, FadeIn);
    say(game.shift, assistLine != nullptr ? assistLine : StartCarLine);
}

void simulateAndDrawFrame(Game& game, ViewTables& view, ShiftProfile& profile) {
    CityMap& city = *game.city;
    Shift& shift = game.shift;
    Image& target = renderTarget(game.screen);

    // Every car is in the grid before the player's collision test and the views.
    stampAllTraffic(game.traffic, TrafficCarCount, city);
    pollKeys(game.keys);
    CarSound sound;
    const AudioChannel& skid = game.audio.channels[SkidChannel];
    sound.skidOn = skid.enabled != 0;
    sound.skidGain = skid.gain;
    // A frame longer than a tick is driven in the car's steps, and the rest of the city
    // takes the same ones: heat, wear and the windshield after each, and between them the
    // traffic moves, the clock runs and the cars are stamped again, as at a tick a frame.
    // The last step's traffic move comes after the drawing and its clock in finishFrame.
    // Once the clock has run out the shift is over, and the rest of a very long frame (a
    // process stalled or suspended for minutes) moves nothing but the cab.
    double lastStep = frameDelta(game.timer);
    profile.clockAhead = 0.0;
    updatePlayerCar(game.player, shift, city, game.keys, sound, frameDelta(game.timer), [&](double ticks, bool last) {
        if (shift.minutesLeft < 0) return;
        updateCabSystems(shift, game.player, ticks, target.width, target.height);
        lastStep = ticks;
        if (last) return;
        moveAllTraffic(game.traffic, TrafficCarCount, city, game.player, ticks);
        runClock(shift, ticks);
        profile.clockAhead += ticks;
        stampAllTraffic(game.traffic, TrafficCarCount, city);
    });
    playCarSound(game.audio, sound);
    stepAssists(game);
    profile.marks[2] = clockSeconds();

    const bool mapView = isOn(shift.mapView);
    if (mapView) {
        drawMapView(city, game.player, game.state, target);
    } else {
        renderWorldView(worldScene(game, view));
    }
    profile.marks[3] = clockSeconds();

    if (!mapView) {
        drawHud(hudScene(game));
        drawMinimap(city, game.player, shift, game.font, target);
    }
    drawAssists(game);
    profile.marks[4] = clockSeconds();

    // Looking ahead and moving take the cars out of the grid again.
    moveAllTraffic(game.traffic, TrafficCarCount, city, game.player, lastStep);
    profile.marks[5] = clockSeconds();
}

void drawStatsOverlay(const FontSet& font, Image& target, const FrameTimer& timer, ShiftProfile& profile) {
    printText(font, target, 0, 0, fpsText(timer), 3);
    for (int i = 1; i <= 4; ++i) profile.phases[i].duration = profile.marks[i + 1] - profile.marks[i];
    for (int i = 1; i <= ProfilePhaseCount; ++i) {
        const double share = std::floor(profile.phases[i].duration / profile.frameTotal * 100.0);
        // A stalled clock or a frame total of 0 must not turn into a bar off the screen.
        const int percent = std::isfinite(share) ? static_cast<int>(std::fmax(-1000.0, std::fmin(1000.0, share))) : 0;
        profile.phases[i].duration = percent;
        printText(font, target, 0, 12 * i, profile.phases[i].label, 3);
        drawBox(target, 60, 12 * i, 60 + percent, 12 * i + 7, ColourNearWhite);
    }
}

void finishFrame(Game& game, ShiftProfile& profile, const double* recordedDelta, bool present) {
    endFrame(game.timer);
    if (recordedDelta) game.timer.frameDelta = *recordedDelta;
    if (isOn(game.shift.showStats)) {
        drawStatsOverlay(game.font, renderTarget(game.screen), game.timer, profile);
    }
    updateAudio(game.audio);
    if (present) presentFrame(game.screen);
    // The clock ran in the frame's earlier steps already; never backwards.
    advanceClock(game.shift, std::fmax(0.0, frameDelta(game.timer) - profile.clockAhead));
    const double now = clockSeconds();
    profile.frameTotal = now - profile.marks[1];
    profile.marks[1] = clockSeconds();
    profile.phases[5].duration = profile.marks[1] - profile.marks[5];
}

void showTimeUp(Game& game, const std::string& note, const std::string& offer) {
    for (int channel = EngineChannel; channel <= TurboChannel; ++channel) game.audio.channels[channel].enabled = 0;
    Image& target = renderTarget(game.screen);
    greyFrame(target, game.state.greyTable);
    const int y = static_cast<int>(std::nearbyint(target.height * 0.4));
    // With the assists the lines stand on a dark band as wide as the picture and deep
    // enough to hide a speech bubble still shown (it sits from the middle row down, two
    // lines and its tail at most), which would otherwise lie under the note.
    if (isOn(game.shift.assists)) {
        fillBox(target, 0, y - 12, target.width - 1, std::max(y + 84, target.height / 2 + 40), ColourBlack);
    }
    // A free ride has no clock to run out: with the assists it ends as a ride.
    const bool ride = isOn(game.shift.assists) && isOn(game.shift.freeRide);
    printText(game.font, target, -1, y, ride ? "ride's over!" : "time's up!", 2);
    printText(game.font, target, -1, y + 30, scoreLine(game.shift.score), 3);
    if (!note.empty()) printText(game.font, target, -1, y + 50, note, 3);
    if (!offer.empty()) printText(game.font, target, -1, y + 70, offer, 3);
    presentFrame(game.screen);
}

int waitOnTimeUp(Game& game, int watchKey) {
    for (;;) {
        pollKeys(game.keys);
        updateAudio(game.audio);
        if (game.keys.quit) return 0;
        for (const int action : {static_cast<int>(ActionSelect), static_cast<int>(ActionBack), watchKey}) {
            if (action != 0 && wasReleased(game.keys, action)) return action;
        }
        if (wasReleased(game.keys, ActionScreenshot)) presentFrame(game.screen);
        sleepMilliseconds(1);
    }
}

void runShift(Game& game, ViewTables& view, const ScoreNote& note, bool offerReplay) {
    beginShift(game, view);
    ShiftProfile profile;
    resetShiftProfile(profile, clockSeconds());
    resetFrameTimer(game.timer);
    startRecording(game);

    while (game.shift.minutesLeft >= 0) {
        simulateAndDrawFrame(game, view, profile);
        const ActionMask held = recordedActions(game);
        // A window closed in the middle of the shift ends it there, as the exit key would
        // have: the score so far counts (the note enters it) and the caller saves it.
        if (game.keys.quit) {
            recordFrame(game, held);
            break;
        }
        finishFrame(game, profile);
        recordFrame(game, held);
    }
    game.recording.finalScore = game.shift.score;

    const std::string noteText = note ? note(game.shift.score) : std::string();
    const bool offer = offerReplay && isOn(game.shift.assists) && !game.recordingLost;
    const std::string offerText = offer ? WatchAgainLine : "";
    showTimeUp(game, noteText, offerText);
    if (game.keys.quit) return;
    // Watching the shift again ends on the same score picture, and so does leaving the
    // watch half-way: the picture is kept as it was, not drawn from the watch's score.
    const Image& target = renderTarget(game.screen);
    const std::vector<uint8_t> picture(target.pixels, target.pixels + static_cast<size_t>(target.pitch) * target.height);
    while (waitOnTimeUp(game, offer ? ActionReverse : 0) == ActionReverse) {
        const Recording shift = game.recording;
        const int64_t score = game.shift.score;
        playRecording(game, view, shift, true);
        if (game.keys.quit) return;
        game.shift.score = score;
        std::copy(picture.begin(), picture.end(), target.pixels);
        presentFrame(game.screen);
    }
    if (game.keys.quit) return;
    transition(game.screen, game.audio, game.timer, FadeOut);
}

void runShift(Game& game, const ScoreNote& note, bool offerReplay) {
    if (game.view) {
        runShift(game, *game.view, note, offerReplay);
        return;
    }
    // Without the start-up's tables the loop builds its own for the render size, kept
    // for the rest of the run; the map header follows the city, so it is set afresh.
    static std::unique_ptr<ViewTables> view;
    if (!view) view = std::make_unique<ViewTables>();
    const Image& target = renderTarget(game.screen);
    initView(*game.city, *view, game.shift, target.width, target.height);
    runShift(game, *view, note, offerReplay);
}

}  // namespace hc
