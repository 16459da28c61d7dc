#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/frame_timer.h"
#include "draw/image.h"

namespace hc {

struct Game;
struct FontSet;
struct ViewTables;

// The frame's five measured phases, numbered 1 to 5 (element 0 unused).
constexpr int ProfilePhaseCount = 5;
struct ProfilePhase {
    const char* label = "";  // 7 characters
    double duration = 0;     // seconds; the overlay replaces it by a percentage
};
struct ShiftProfile {
    ProfilePhase phases[ProfilePhaseCount + 1];
    double marks[ProfilePhaseCount + 1] = {};  // T1..T5: frame start and the end of phases 1..4
    double frameTotal = 10.0;                  // length of the previous frame, seconds
    double clockAhead = 0;  // ticks the game clock ran in the frame's earlier steps
};
// Labels set, durations and marks 0, frame total 10 (so the first overlay shows
// near-empty bars), and T1 = now.
void resetShiftProfile(ShiftProfile& profile, double now);

// Given the final score, the line shown under it on the "time's up!" picture (empty
// for none).
using ScoreNote = std::function<std::string(int64_t score)>;

// Plays one arcade game on a game whose city, traffic, assets and tables are set up:
// set-up, frames until the time limit runs out or the driver quits, then "time's up!"
// with the score (and the note, when given) over a greyed picture until select or back
// is released. Uses the game's world-view tables, or builds its own when the game has
// none. A window being closed (keys.quit) ends the shift where it is, like the exit key,
// and returns at once: the score picture is drawn (and the note asked for) but not
// waited on.
//
// Every frame goes into game.recording. With offerReplay and the assists on, the score
// picture offers to watch the shift again (the reverse key), which plays the recording
// and comes back to the score picture.
void runShift(Game& game, const ScoreNote& note = {}, bool offerReplay = false);
// The same with world-view tables already built for this city and render size.
void runShift(Game& game, ViewTables& view, const ScoreNote& note = {}, bool offerReplay = false);

// The parts of the shift, in the order runShift uses them.
// Set-up: the new shift, its marks, the first picture shown, the first line said.
void beginShift(Game& game, ViewTables& view);
// Frame steps from the traffic stamps to the traffic moves (phases 1 to 4): stamps,
// keys, player and cab, the map or world view, HUD and minimap, traffic. A frame longer
// than a tick runs the cab, its systems, the traffic and the clock in the car's steps,
// so that any frame rate drives the same city the same way.
void simulateAndDrawFrame(Game& game, ViewTables& view, ShiftProfile& profile);
// The rest of the frame (phase 5): frame timer, statistics overlay, audio, presentation
// and the game clock. A recording being played back gives the frame timer's length
// (recordedDelta), and may leave the picture unpresented (at double speed).
void finishFrame(Game& game, ShiftProfile& profile, const double* recordedDelta = nullptr, bool present = true);
// The statistics overlay: frames per second and one bar per phase, each the phase's
// share of the previous frame in percent (which replaces the stored duration).
void drawStatsOverlay(const FontSet& font, Image& target, const FrameTimer& timer, ShiftProfile& profile);
// The end-of-game picture: car sounds off, the last frame greyed, "time's up!", the
// score and the note under it, and under that the offer (if any), presented.
void showTimeUp(Game& game, const std::string& note = {}, const std::string& offer = {});
// Waits on that picture until select or back is released (or, when watchKey is an
// action, that one), and returns the action released; the picture is presented again
// whenever another key is released, so that the screenshot key grabs it, and returns 0
// at once when the window is being closed.
int waitOnTimeUp(Game& game, int watchKey = 0);
// What the score picture offers with the assists on.
constexpr const char* WatchAgainLine = "R: watch this shift again";
// "Your score: " and the score.
std::string scoreLine(int64_t score);

}  // namespace hc
