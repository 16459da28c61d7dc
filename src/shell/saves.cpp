#include "shell/saves.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

#include "core/save_file.h"
#include "core/system.h"
#include "frontend/game.h"
#include "platform/system_info.h"
#include "platform/window.h"

namespace hc {

namespace {

// A format number changes only when older games could no longer read the new files
// (a setting added later is simply missing from an older file and takes its default).
constexpr int CareerFormat = 1;
constexpr int BestScoresFormat = 1;
constexpr int SettingsFormat = 1;
// Far beyond what a lifetime of shifts earns, far below what overflows.
constexpr int64_t MoneyLimit = 1'000'000'000'000;
constexpr float LowestGamma = 0.5f, HighestGamma = 1.5f;

std::string pathOf(const char* name) { return saveFolder() + "/" + name; }

// The shortest text that reads back as the same float. (Through the C library rather
// than to_chars, which not every standard library offers for floats.)
std::string floatText(float v) {
    char text[32];
    for (int precision = 1; precision <= 9; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(v));
        if (std::strtof(text, nullptr) == v) break;
    }
    return text;
}

// A decimal number, the whole text and nothing else: no sign but a minus, no spaces,
// no hexadecimal form. False when the text is anything else.
bool parseFloat(const std::string& text, float& out) {
    if (text.empty() || !(text[0] == '-' || text[0] == '.' || std::isdigit(static_cast<unsigned char>(text[0]))))
        return false;
    if (text.find_first_of("xX") != std::string::npos) return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtof(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno != ERANGE;
}

// The "key value" lines of a file, each key once. Strict: every key expected and no
// other. Lenient (others given): missing keys are allowed and unknown lines go to others.
class Fields {
public:
    bool take(const std::vector<SaveLine>& lines, const std::vector<const char*>& keys, std::string& reason,
              std::vector<SaveLine>* others = nullptr) {
        for (const SaveLine& line : lines) {
            if (std::find_if(keys.begin(), keys.end(), [&](const char* k) { return line.key == k; }) == keys.end()) {
                if (others) {
                    others->push_back(line);
                    continue;
                }
                reason = "unknown entry \"" + line.key.substr(0, 20) + "\"";
                return false;
            }
            if (!values_.emplace(line.key, line.value).second) {
                reason = "\"" + line.key + "\" appears twice";
                return false;
            }
        }
        for (const char* key : keys) {
            if (!others && !values_.count(key)) {
                reason = std::string("no \"") + key + "\" entry";
                return false;
            }
        }
        return true;
    }

    bool has(const char* key) const { return values_.count(key) != 0; }

    bool integer(const char* key, int64_t low, int64_t high, int64_t& out, std::string& reason) const {
        const std::string& text = values_.at(key);
        int64_t v = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (error != std::errc() || end != text.data() + text.size() || v < low || v > high) {
            reason = std::string(key) + " is \"" + text.substr(0, 20) + "\", not a whole number from " +
                     std::to_string(low) + " to " + std::to_string(high);
            return false;
        }
        out = v;
        return true;
    }

    bool stage(const char* key, int8_t& out, std::string& reason) const {
        int64_t v = 0;
        if (!integer(key, 0, 3, v, reason)) return false;
        out = static_cast<int8_t>(v);
        return true;
    }

    bool number(const char* key, float low, float high, float& out, std::string& reason) const {
        const std::string& text = values_.at(key);
        float v = 0;
        if (!parseFloat(text, v) || !std::isfinite(v) || v < low || v > high) {
            reason = std::string(key) + " is \"" + text.substr(0, 20) + "\", not a number from " + floatText(low) +
                     " to " + floatText(high);
            return false;
        }
        out = v;
        return true;
    }

    bool choice(const char* key, const char* yes, const char* no, bool& out, std::string& reason) const {
        const std::string& text = values_.at(key);
        if (text != yes && text != no) {
            reason = std::string(key) + " is \"" + text.substr(0, 20) + "\", not " + yes + " or " + no;
            return false;
        }
        out = text == yes;
        return true;
    }

private:
    std::map<std::string, std::string> values_;
};

// Each kept file: its name in the save folder, the kind and newest format its header
// line gives, what console lines call it, and the flag that stops this game writing it.
struct SavedFile {
    const char* name;
    const char* kind;
    int format;
    const char* what;
    bool SavedRecords::*leftAlone;
};
const SavedFile CareerFile{CareerFileName, "career", CareerFormat, "career", &SavedRecords::careerLeftAlone};
const SavedFile BestScoresFile{BestScoresFileName, "best-scores", BestScoresFormat, "best scores",
                               &SavedRecords::bestLeftAlone};
const SavedFile DayScoresFile{DayScoresFileName, "day-scores", BestScoresFormat, "scores of the day",
                              &SavedRecords::dayLeftAlone};
const SavedFile SettingsFile{SettingsFileName, "settings", SettingsFormat, "settings",
                             &SavedRecords::settingsLeftAlone};

// Loads one file, its text read by read. A missing file is no news. A spoilt
// file (cut short, failing its checksum, unknown values, too large to be a save) is
// moved aside as NAME.bad; one this game cannot judge (from a newer version, unreadable
// for a reason that may pass, not a regular file) is left as it is and not written in
// this run. Either way one console line.
void loadFile(Game& game, const SavedFile& file, const char* fallback,
              const std::function<bool(std::string_view, std::string&)>& read) {
    if (saveFolder().empty()) return;
    const std::string path = pathOf(file.name);
    std::string text, reason;
    const FileRead result = readSmallFile(path, text, reason);
    if (result == FileRead::Missing || (result == FileRead::Read && read(text, reason))) return;
    const bool spoilt = result == FileRead::TooLarge ||
                        (result == FileRead::Read && !isNewerSaveText(text, file.kind, file.format));
    if (!spoilt) {
        game.saved.*file.leftAlone = true;
        logLine("Leaving " + path + " alone: " + reason + "; the " + file.what + " will not be saved in this run; " +
                fallback);
        return;
    }
    std::string asideReason;
    const std::string aside = setFileAside(path, asideReason);
    const std::string kept = aside.empty() ? "it could not be moved aside (" + asideReason + ")"
                                           : "kept it as " + aside;
    logLine("Cannot use " + path + ": " + reason + "; " + kept + "; " + fallback);
}

// Makes this game the owner of the save folder if it can: Held, with the temporary files
// of a game stopped while saving removed; Busy, said once, when another game owns it;
// Failed with the reason when the folder or its lock cannot be made.
LockResult holdFolder(Game& game, std::string& reason) {
    SavedRecords& saved = game.saved;
    if (saved.folderBusy) return LockResult::Busy;
    if (saved.lock.held()) return LockResult::Held;
    const std::string folder = saveFolder();
    if (!makeFolders(folder, reason)) return LockResult::Failed;
    const LockResult result = saved.lock.take(folder, reason);
    if (result == LockResult::Busy) {
        saved.folderBusy = true;
        logLine("Another game is using the save folder " + folder + "; this one saves nothing");
    } else if (result == LockResult::Held) {
        int removed = 0;
        for (const char* name : {CareerFileName, BestScoresFileName, SettingsFileName, DayScoresFileName}) {
            removed += removeStaleTemporaryFiles(pathOf(name));
        }
        if (removed > 0) {
            logLine("Removed " + std::to_string(removed) + " unfinished save(s) from " + folder +
                    ", left by a game stopped while saving");
        }
    }
    return result;
}

bool saveFile(Game& game, const SavedFile& file, const std::string& text) {
    // Said once already: at start-up, or when the file was read.
    if (game.saved.folderBusy || game.saved.*file.leftAlone) return false;
    const std::string folder = saveFolder();
    std::string reason;
    if (folder.empty()) {
        reason = "no save folder (neither HAZARDCAB_HOME, XDG_DATA_HOME nor HOME is set)";
    } else {
        const LockResult hold = holdFolder(game, reason);
        if (hold == LockResult::Busy) return false;
        if (hold == LockResult::Held && writeFileAtomically(pathOf(file.name), text, reason)) return true;
    }
    logLine(std::string("Cannot save the ") + file.what + " in " + (folder.empty() ? file.name : pathOf(file.name)) +
            ": " + reason);
    return false;
}

}  // namespace

bool saveReplayFile(Game& game, const char* folderName, const char* name, const std::string& bytes) {
    if (game.saved.folderBusy) return false;
    const std::string folder = saveFolder() + "/" + folderName;
    const std::string path = folder + "/" + name;
    std::string reason;
    if (saveFolder().empty()) {
        reason = "no save folder (neither HAZARDCAB_HOME, XDG_DATA_HOME nor HOME is set)";
    } else {
        const LockResult hold = holdFolder(game, reason);
        if (hold == LockResult::Busy) return false;
        if (hold == LockResult::Held && makeFolders(folder, reason)) {
            removeStaleTemporaryFiles(path);
            if (writeFileAtomically(path, bytes, reason)) return true;
        }
    }
    logLine("Cannot save the recording in " + path + ": " + reason);
    return false;
}

namespace {

std::string today() {
    const LocalDateTime now = localDateTime();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.year, now.month, now.day);
    return text;
}

bool isDate(std::string_view s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
    for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
        if (s[i] < '0' || s[i] > '9') return false;
    }
    return true;
}

// One row per setting: its key in the file, its field (a switch written as one of two
// words, or a number within a range; the field's initial value in Settings is the
// default), how it is put into the game and read back from it, and whether the shift
// start, which clears it, must have it put back. A new setting is a field, a row and
// its entry on the options screen.
struct SettingRow {
    const char* key;
    bool Settings::*flag;  // a switch: onWord for true, offWord for false
    const char *onWord, *offWord;
    float Settings::*number;  // or a number from low to high
    float low, high;
    void (*apply)(Game& game, const Settings& settings);
    void (*look)(Game& game, Settings& now);  // what the game has now
    bool atShiftStart;
};

inline int8_t channelSwitch(bool on) { return on ? int8_t{-1} : int8_t{0}; }

const SettingRow SettingRows[] = {
    {"music", &Settings::music, "on", "off", nullptr, 0, 0,
     [](Game& g, const Settings& s) { g.audio.channels[MusicChannel].enabled = channelSwitch(s.music); },
     [](Game& g, Settings& now) {
         // A music channel without a track was silenced by a failed open, not by the player.
         const AudioChannel& music = g.audio.channels[MusicChannel];
         if (music.stream) now.music = music.enabled != 0;
     },
     false},
    {"detail", &Settings::lowDetail, "low", "high", nullptr, 0, 0,
     [](Game& g, const Settings& s) { g.shift.lowDetail = toFlag(s.lowDetail); },
     [](Game& g, Settings& now) { now.lowDetail = isOn(g.shift.lowDetail); }, true},
    {"gamma", nullptr, nullptr, nullptr, &Settings::gamma, LowestGamma, HighestGamma,
     [](Game& g, const Settings& s) { applyGamma(g.screen, s.gamma); },
     [](Game& g, Settings& now) { now.gamma = g.screen.gamma; }, false},
    {"fullscreen", &Settings::fullScreen, "on", "off", nullptr, 0, 0,
     [](Game&, const Settings& s) {
         // Only switched on here: a window that a start-up option made full screen stays so.
         if (WindowBackend* window = activeWindow(); window && s.fullScreen) window->setFullScreen(true);
     },
     [](Game&, Settings& now) {
         if (WindowBackend* window = activeWindow()) now.fullScreen = window->fullScreen();
     },
     false},
    {"assists", &Settings::assists, "on", "off", nullptr, 0, 0,
     [](Game& g, const Settings& s) { g.shift.assists = toFlag(s.assists); },
     [](Game& g, Settings& now) { now.assists = isOn(g.shift.assists); }, false},
};

bool sameSetting(const SettingRow& row, const Settings& a, const Settings& b) {
    return row.flag ? a.*row.flag == b.*row.flag : a.*row.number == b.*row.number;
}

void copySetting(const SettingRow& row, const Settings& from, Settings& to) {
    if (row.flag) {
        to.*row.flag = from.*row.flag;
    } else {
        to.*row.number = from.*row.number;
    }
}

void loadSettings(Game& game) {
    SavedRecords& saved = game.saved;
    if (saved.settingsLoaded) return;
    saved.settingsLoaded = true;
    saved.settings = Settings{};
    saved.otherSettings.clear();
    loadFile(game, SettingsFile, "using the default settings", [&](std::string_view text, std::string& reason) {
        return readSettings(text, saved.settings, reason, &saved.otherSettings);
    });
    saved.seen = saved.settings;
}

void loadBestScores(Game& game) {
    SavedRecords& saved = game.saved;
    if (saved.bestLoaded) return;
    saved.bestLoaded = true;
    saved.best.clear();
    loadFile(game, BestScoresFile, "starting an empty best-score table",
             [&](std::string_view text, std::string& reason) { return readBestScores(text, saved.best, reason); });
}

}  // namespace

std::string saveFolder() {
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v ? std::string(v) : std::string();
    };
    if (std::string home = set("HAZARDCAB_HOME"); !home.empty()) return home;
    if (std::string data = set("XDG_DATA_HOME"); !data.empty()) return data + "/hazardcab";
    if (std::string home = set("HOME"); !home.empty()) return home + "/.local/share/hazardcab";
    return {};
}

std::string careerText(const CareerRecord& c) {
    return formatSaveText(CareerFile.kind, CareerFile.format,
                          {{"money", std::to_string(c.money)},
                           {"turbo", std::to_string(c.turboLevel)},
                           {"brakes", std::to_string(c.brakeLevel)},
                           {"radiator", std::to_string(c.radiatorLevel)},
                           {"tyres", std::to_string(c.tyreLevel)},
                           {"bodywork-wear", floatText(c.bodyworkWear)},
                           {"brake-wear", floatText(c.brakeWear)},
                           {"engine-wear", floatText(c.engineWear)},
                           {"shifts", std::to_string(c.shiftsDriven)},
                           {"fares", std::to_string(c.faresDelivered)},
                           {"earned", std::to_string(c.moneyEarned)}});
}

bool readCareer(std::string_view text, CareerRecord& career, std::string& reason) {
    std::vector<SaveLine> lines;
    Fields f;
    CareerRecord c;
    const bool ok = parseSaveText(text, CareerFile.kind, CareerFile.format, lines, reason) &&
                    f.take(lines,
                           {"money", "turbo", "brakes", "radiator", "tyres", "bodywork-wear", "brake-wear",
                            "engine-wear", "shifts", "fares", "earned"},
                           reason) &&
                    f.integer("money", 0, MoneyLimit, c.money, reason) &&
                    f.stage("turbo", c.turboLevel, reason) && f.stage("brakes", c.brakeLevel, reason) &&
                    f.stage("radiator", c.radiatorLevel, reason) && f.stage("tyres", c.tyreLevel, reason) &&
                    f.number("bodywork-wear", 0.0f, 1.0f, c.bodyworkWear, reason) &&
                    f.number("brake-wear", 0.0f, 1.0f, c.brakeWear, reason) &&
                    f.number("engine-wear", 0.0f, 1.0f, c.engineWear, reason) &&
                    f.integer("shifts", 0, MoneyLimit, c.shiftsDriven, reason) &&
                    f.integer("fares", 0, MoneyLimit, c.faresDelivered, reason) &&
                    f.integer("earned", 0, MoneyLimit, c.moneyEarned, reason);
    if (ok) career = c;
    return ok;
}

namespace {

// The best-score tables' text and reader, for either table.
std::string scoresText(const SavedFile& file, const std::vector<BestScore>& best) {
    std::vector<SaveLine> lines;
    for (const BestScore& entry : best) lines.push_back({"score", std::to_string(entry.score) + " " + entry.date});
    return formatSaveText(file.kind, file.format, lines);
}

bool readScores(const SavedFile& file, std::string_view text, std::vector<BestScore>& best, std::string& reason) {
    std::vector<SaveLine> lines;
    if (!parseSaveText(text, file.kind, file.format, lines, reason)) return false;
    if (lines.size() > static_cast<size_t>(BestScoreCount)) {
        reason = "it holds more than " + std::to_string(BestScoreCount) + " scores";
        return false;
    }
    std::vector<BestScore> table;
    for (const SaveLine& line : lines) {
        const std::string& v = line.value;
        const size_t space = v.find(' ');
        BestScore entry;
        const char* end = v.data() + (space == std::string::npos ? v.size() : space);
        const auto [stop, error] = std::from_chars(v.data(), end, entry.score);
        if (line.key != "score" || space == std::string::npos || error != std::errc() || stop != end ||
            entry.score < 1 || entry.score > MoneyLimit || !isDate(std::string_view(v).substr(space + 1))) {
            reason = "\"" + (line.key + " " + v).substr(0, 40) + "\" is not a score and a date";
            return false;
        }
        entry.date = v.substr(space + 1);
        table.push_back(entry);
    }
    std::stable_sort(table.begin(), table.end(), [](const BestScore& a, const BestScore& b) { return a.score > b.score; });
    best = table;
    return true;
}

}  // namespace

std::string bestScoresText(const std::vector<BestScore>& best) { return scoresText(BestScoresFile, best); }

bool readBestScores(std::string_view text, std::vector<BestScore>& best, std::string& reason) {
    return readScores(BestScoresFile, text, best, reason);
}

void loadDayScores(Game& game) {
    SavedRecords& saved = game.saved;
    if (saved.dayLoaded) return;
    saved.dayLoaded = true;
    saved.dayBest.clear();
    loadFile(game, DayScoresFile, "starting an empty table for the day", [&](std::string_view text, std::string& reason) {
        return readScores(DayScoresFile, text, saved.dayBest, reason);
    });
}

std::string enterDayScore(Game& game, int64_t score, const std::string& date) {
    loadDayScores(game);
    std::vector<BestScore>& best = game.saved.dayBest;
    // The table holds one day: another day's scores make way for today's.
    if (!best.empty() && best.front().date != date) best.clear();
    const int64_t previous = best.empty() ? 0 : best.front().score;
    if (insertBestScore(best, score, date)) saveFile(game, DayScoresFile, scoresText(DayScoresFile, best));
    const std::string day = "the city of " + date;
    if (score > previous) return day + ": " + NewBestScoreLine;
    if (previous > 0) return day + ", best: " + std::to_string(previous);
    return day;
}

std::string todayText() { return today(); }

uint32_t todayNumber() {
    const LocalDateTime now = localDateTime();
    return static_cast<uint32_t>(now.year * 10000 + now.month * 100 + now.day);
}

std::string settingsText(const Settings& settings, const std::vector<SaveLine>& others) {
    std::vector<SaveLine> lines;
    for (const SettingRow& row : SettingRows) {
        lines.push_back({row.key, row.flag ? (settings.*row.flag ? row.onWord : row.offWord)
                                           : floatText(settings.*row.number)});
    }
    lines.insert(lines.end(), others.begin(), others.end());
    return formatSaveText(SettingsFile.kind, SettingsFile.format, lines);
}

bool readSettings(std::string_view text, Settings& settings, std::string& reason, std::vector<SaveLine>* others) {
    std::vector<SaveLine> lines, unknown;
    std::vector<const char*> keys;
    for (const SettingRow& row : SettingRows) keys.push_back(row.key);
    Fields f;
    if (!parseSaveText(text, SettingsFile.kind, SettingsFile.format, lines, reason) ||
        !f.take(lines, keys, reason, &unknown)) {
        return false;
    }
    // A key missing from an older file keeps its default.
    Settings s;
    for (const SettingRow& row : SettingRows) {
        if (!f.has(row.key)) continue;
        const bool ok = row.flag ? f.choice(row.key, row.onWord, row.offWord, s.*row.flag, reason)
                                 : f.number(row.key, row.low, row.high, s.*row.number, reason);
        if (!ok) return false;
    }
    settings = s;
    if (others) *others = unknown;
    return true;
}

void loadSavedRecords(Game& game) {
    // The folder is taken before anything is read; a folder that cannot be made is said
    // by the first save that needs it.
    std::string reason;
    if (!saveFolder().empty()) holdFolder(game, reason);
    loadSettings(game);
    for (const SettingRow& row : SettingRows) row.apply(game, game.saved.settings);
    game.saved.seen = currentSettings(game);
    keptCareer(game);
    loadBestScores(game);
}

void applyShiftSettings(Game& game) {
    if (!game.saved.settingsLoaded) return;
    for (const SettingRow& row : SettingRows) {
        if (row.atShiftStart) row.apply(game, game.saved.settings);
    }
}

CareerRecord& keptCareer(Game& game) {
    SavedRecords& saved = game.saved;
    if (!saved.careerLoaded) {
        saved.careerLoaded = true;
        saved.career = CareerRecord{};
        loadFile(game, CareerFile, "starting a new career",
                 [&](std::string_view text, std::string& reason) { return readCareer(text, saved.career, reason); });
    }
    return saved.career;
}

void careerToShift(const CareerRecord& career, Shift& shift) {
    shift.score = career.money;
    shift.turboLevel = career.turboLevel;
    shift.brakeLevel = career.brakeLevel;
    shift.radiatorLevel = career.radiatorLevel;
    shift.tyreLevel = career.tyreLevel;
    shift.damage[1] = career.bodyworkWear;
    shift.damage[2] = career.brakeWear;
    shift.damage[3] = career.engineWear;
}

void shiftToCareer(const Shift& shift, CareerRecord& career) {
    career.money = shift.score;
    career.turboLevel = shift.turboLevel;
    career.brakeLevel = shift.brakeLevel;
    career.radiatorLevel = shift.radiatorLevel;
    career.tyreLevel = shift.tyreLevel;
    career.bodyworkWear = shift.damage[1];
    career.brakeWear = shift.damage[2];
    career.engineWear = shift.damage[3];
}

bool saveCareer(Game& game) { return saveFile(game, CareerFile, careerText(keptCareer(game))); }

bool insertBestScore(std::vector<BestScore>& best, int64_t score, const std::string& date) {
    if (score <= 0) return false;
    auto at = std::find_if(best.begin(), best.end(), [&](const BestScore& e) { return e.score < score; });
    if (at - best.begin() >= BestScoreCount) return false;
    best.insert(at, BestScore{score, date});
    if (best.size() > static_cast<size_t>(BestScoreCount)) best.resize(BestScoreCount);
    return true;
}

std::string enterArcadeScore(Game& game, int64_t score) {
    loadBestScores(game);
    std::vector<BestScore>& best = game.saved.best;
    const int64_t previous = best.empty() ? 0 : best.front().score;
    if (insertBestScore(best, score, today())) saveFile(game, BestScoresFile, bestScoresText(best));
    if (score > previous) return NewBestScoreLine;
    if (previous > 0) return "best score: " + std::to_string(previous);
    return {};
}

Settings currentSettings(Game& game) {
    Settings now = game.saved.seen;
    for (const SettingRow& row : SettingRows) row.look(game, now);
    return now;
}

void keepSettings(Game& game) {
    SavedRecords& saved = game.saved;
    // Before start-up has applied the saved settings there is nothing to compare with.
    if (!saved.settingsLoaded) return;
    const Settings now = currentSettings(game);
    Settings next = saved.settings;
    for (const SettingRow& row : SettingRows) {
        if (!sameSetting(row, now, saved.seen)) copySetting(row, now, next);
    }
    saved.seen = now;
    if (next == saved.settings) return;
    saved.settings = next;
    saveFile(game, SettingsFile, settingsText(next, saved.otherSettings));
}

void setCareerAside() {
    const std::string path = saveFolder() + "/" + CareerFileName;
    // Not under a game that is running on the folder: it would save its career again.
    FolderLock lock;
    std::string lockReason;
    if (lock.take(saveFolder(), lockReason) == LockResult::Busy) {
        logLine("Another game is using the save folder " + saveFolder() + "; the career is not set aside");
        return;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        logLine("No saved career to set aside; a new one starts in career mode");
        return;
    }
    std::string reason;
    const std::string aside = setFileAside(path, reason, ".old");
    if (aside.empty()) {
        logLine("Cannot set the career " + path + " aside: " + reason);
    } else {
        logLine("The last career is kept as " + aside + "; a new one starts in career mode");
    }
}

}  // namespace hc
