#pragma once
// A recorded shift: what it started from and, frame by frame, the frame's length and the
// actions held, so that playing it back drives the same city the same way to the same
// score. Kept as a small binary file (a 4-minute shift at 60 frames a second takes about
// 50 KB): a header, the start, the frames (each a byte saying what changed, then the new
// frame length and the new actions, if they changed), the final score and a CRC-32 of all
// before it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/actions.h"
#include "core/random.h"

namespace hc {

constexpr int ReplayFormatVersion = 1;
// A shift lasts 4 minutes of game time, 12000 ticks; frames shorter than a twentieth of a
// tick (1000 frames a second) are not recorded, so no shift has more frames than this.
constexpr uint32_t MaxReplayFrames = 250000;
// Frame lengths in ticks, 0 (a clock that did not move) up to an hour.
constexpr double MaxReplayFrameDelta = 180000.0;
constexpr int MaxReplayStage = 3;
constexpr size_t MaxReplayVersionLength = 64;
// Every frame with a new length and new actions, and the rest with room to spare.
constexpr uint64_t MaxReplayBytes = 512 + uint64_t{MaxReplayFrames} * 11;
// Bit 0 of a frame's actions (unused by any action): the poll forgot the actions held
// before it rather than counting releases.
constexpr ActionMask ReplayForgotten = 1;

enum class ReplayKind : uint8_t { Arcade = 1, Career = 2 };

// Everything a shift starts from beyond the player's actions.
struct ReplayStart {
    RandomState random;              // before the shift's city was generated
    ReplayKind kind = ReplayKind::Arcade;
    uint32_t day = 0;                // YYYYMMDD for a city of the day, else 0
    int64_t money = 0;               // the career's money at the start (0 in arcade)
    int8_t stages[4] = {};           // turbo, radiator, brakes, tyres
    float wear[3] = {};              // bodywork, brakes, engine
    uint8_t assists = 0;             // byte flags
    uint8_t lowDetail = 0;
    int8_t coachStep = 0;            // the newcomer's guide as the run had it
    uint8_t timedShiftRan = 0;
    int32_t lastDelivered = 0;
    uint8_t rideSuggested = 0;
    ActionMask previousHeld = 0;     // the actions held at the poll before the first frame
    float cabX = 0, cabY = 0;        // where the cab stands (it faces along +x)

    bool operator==(const ReplayStart&) const = default;
};

struct ReplayFrame {
    double delta = 1.0;       // the frame timer's length after this frame, in ticks
    ActionMask held = 0;      // the actions polled for this frame, and ReplayForgotten

    bool operator==(const ReplayFrame&) const = default;
};

struct Recording {
    std::string gameVersion;
    ReplayStart start;
    std::vector<ReplayFrame> frames;
    int64_t finalScore = 0;
};

// Whether a frame can go into a recording: a length in range and known actions only.
bool recordableFrame(const ReplayFrame& frame);
// The file's bytes. The recording must hold at most MaxReplayFrames recordable frames.
std::string recordingBytes(const Recording& recording);
// Reads bytes made by recordingBytes. False, with one short reason, for anything else.
bool parseRecording(std::string_view bytes, Recording& recording, std::string& reason);
// Reads the file (a regular file of at most MaxReplayBytes) and parses it; false with the
// reason, which names neither the file nor its folder.
bool readRecordingFile(const std::string& path, Recording& recording, std::string& reason);

}  // namespace hc
