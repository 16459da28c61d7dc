#pragma once
// What the game keeps between runs: the career, the best arcade scores and the
// settings. The shell loads them from and saves them to the player's save folder; the
// records live in the game record for the whole run.
#include <cstdint>
#include <string>
#include <vector>

#include "core/save_file.h"

namespace hc {

// The career's cab and books as the garage left them.
struct CareerRecord {
    int64_t money = 0;
    int8_t turboLevel = 0;
    int8_t brakeLevel = 0;
    int8_t radiatorLevel = 0;
    int8_t tyreLevel = 0;
    float bodyworkWear = 0;  // 0 to 1, as the shift's damage
    float brakeWear = 0;
    float engineWear = 0;
    int64_t shiftsDriven = 0;
    int64_t faresDelivered = 0;
    int64_t moneyEarned = 0;  // all the money the shifts brought in, spent or not

    bool operator==(const CareerRecord&) const = default;
};

struct BestScore {
    int64_t score = 0;
    std::string date;  // YYYY-MM-DD

    bool operator==(const BestScore&) const = default;
};
constexpr int BestScoreCount = 10;

// Each field's initial value is its default, for a file that does not have it; the
// settings file's rows (key, allowed values, how the game applies and shows it) are kept
// beside the reader in the shell's saves.
struct Settings {
    bool music = true;
    bool lowDetail = false;
    float gamma = 1.0f;
    bool fullScreen = false;
    bool assists = true;  // the newcomer's guide; off is classic mode

    bool operator==(const Settings&) const = default;
};

struct SavedRecords {
    // This game's hold on the save folder. A game that finds the folder held by another
    // writes nothing for the whole run: what it read may be older than what the other
    // game has since saved.
    FolderLock lock;
    bool folderBusy = false;
    // Files this game does not write: one from a newer version of the game, one that
    // could not be read for a reason that may pass, or something other than a file.
    bool careerLeftAlone = false;
    bool bestLeftAlone = false;
    bool dayLeftAlone = false;
    bool settingsLeftAlone = false;

    // The career, loaded once per run and kept apart from the shift record, which an
    // arcade game resets; the career comes back from here.
    bool careerLoaded = false;
    CareerRecord career;
    bool bestLoaded = false;
    std::vector<BestScore> best;  // best first, at most BestScoreCount
    // The city of the day's own table: one day's best scores, all of that day.
    bool dayLoaded = false;
    std::vector<BestScore> dayBest;
    // The settings as the file has them, and as the game had them when last looked at:
    // only what changed since that look is written, so a start-up option that overrides
    // a setting for one run does not become the saved setting.
    bool settingsLoaded = false;
    Settings settings;
    Settings seen;
    // Lines of the settings file that this game does not know (from a newer game of the
    // same format), written back as they were.
    std::vector<SaveLine> otherSettings;

    // Whether the career reaches its file when saved.
    bool careerSaved() const { return !folderBusy && !careerLeftAlone; }
};

}  // namespace hc
