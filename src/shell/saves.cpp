#include "shell/saves.h"

#include <sys/stat.h>

#include <algorithm>
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

constexpr int CareerFormat = 1;
constexpr int BestScoresFormat = 1;
constexpr int SettingsFormat = 1;
// Far beyond what a lifetime of shifts earns, far below what overflows.
constexpr int64_t MoneyLimit = 1'000'000'000'000;
constexpr float LowestGamma = 0.5f, HighestGamma = 1.5f;

std::string pathOf(const char* name) { return saveFolder() + "/" + name; }

std::string floatText(float v) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, v);
    return std::string(text, result.ptr);
}

// The "key value" lines of a file, each key once, every one of them expected.
class Fields {
public:
    bool take(const std::vector<SaveLine>& lines, std::initializer_list<const char*> keys, std::string& reason) {
        for (const SaveLine& line : lines) {
            if (std::find_if(keys.begin(), keys.end(), [&](const char* k) { return line.key == k; }) == keys.end()) {
                reason = "unknown entry \"" + line.key.substr(0, 20) + "\"";
                return false;
            }
            if (!values_.emplace(line.key, line.value).second) {
                reason = "\"" + line.key + "\" appears twice";
                return false;
            }
        }
        for (const char* key : keys) {
            if (!values_.count(key)) {
                reason = std::string("no \"") + key + "\" entry";
                return false;
            }
        }
        return true;
    }

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
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(v) || v < low || v > high) {
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

// Loads one file: true with its text read by read. A missing file is no news; any
// other failure is one console line, the file moved aside, and false.
bool loadFile(const char* name, const char* fallback,
              const std::function<bool(std::string_view, std::string&)>& read) {
    if (saveFolder().empty()) return false;
    const std::string path = pathOf(name);
    std::string text, reason;
    const FileRead result = readSmallFile(path, text, reason);
    if (result == FileRead::Missing) return false;
    if (result == FileRead::Read && read(text, reason)) return true;
    std::string asideReason;
    const std::string aside = setFileAside(path, asideReason);
    const std::string kept = aside.empty() ? "it could not be moved aside (" + asideReason + ")"
                                           : "kept it as " + aside;
    logLine("Cannot use " + path + ": " + reason + "; " + kept + "; " + fallback);
    return false;
}

bool saveFile(const char* name, const char* what, const std::string& text) {
    const std::string folder = saveFolder();
    std::string reason;
    if (folder.empty()) {
        reason = "no save folder (neither HAZARDCAB_HOME, XDG_DATA_HOME nor HOME is set)";
    } else if (makeFolders(folder, reason) && writeFileAtomically(pathOf(name), text, reason)) {
        return true;
    }
    logLine(std::string("Cannot save the ") + what + " in " + (folder.empty() ? name : pathOf(name)) + ": " +
            reason);
    return false;
}

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

void applySettings(Game& game, const Settings& settings) {
    game.audio.channels[MusicChannel].enabled = settings.music ? int8_t{-1} : int8_t{0};
    game.shift.lowDetail = toFlag(settings.lowDetail);
    game.shift.assists = toFlag(settings.assists);
    applyGamma(game.screen, settings.gamma);
    // Only switched on here: a window that a start-up option made full screen stays so.
    if (WindowBackend* window = activeWindow(); window && settings.fullScreen) window->setFullScreen(true);
}

void loadSettings(Game& game) {
    SavedRecords& saved = game.saved;
    if (saved.settingsLoaded) return;
    saved.settingsLoaded = true;
    saved.settings = Settings{};
    loadFile(SettingsFileName, "using the default settings",
             [&](std::string_view text, std::string& reason) { return readSettings(text, saved.settings, reason); });
    saved.seen = saved.settings;
}

void loadBestScores(Game& game) {
    SavedRecords& saved = game.saved;
    if (saved.bestLoaded) return;
    saved.bestLoaded = true;
    saved.best.clear();
    loadFile(BestScoresFileName, "starting an empty best-score table",
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
    return formatSaveText("career", CareerFormat,
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
    const bool ok = parseSaveText(text, "career", CareerFormat, lines, reason) &&
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

std::string bestScoresText(const std::vector<BestScore>& best) {
    std::vector<SaveLine> lines;
    for (const BestScore& entry : best) lines.push_back({"score", std::to_string(entry.score) + " " + entry.date});
    return formatSaveText("best-scores", BestScoresFormat, lines);
}

bool readBestScores(std::string_view text, std::vector<BestScore>& best, std::string& reason) {
    std::vector<SaveLine> lines;
    if (!parseSaveText(text, "best-scores", BestScoresFormat, lines, reason)) return false;
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

std::string settingsText(const Settings& s) {
    return formatSaveText("settings", SettingsFormat,
                          {{"music", s.music ? "on" : "off"},
                           {"detail", s.lowDetail ? "low" : "high"},
                           {"gamma", floatText(s.gamma)},
                           {"fullscreen", s.fullScreen ? "on" : "off"},
                           {"assists", s.assists ? "on" : "off"}});
}

bool readSettings(std::string_view text, Settings& settings, std::string& reason) {
    std::vector<SaveLine> lines;
    Fields f;
    Settings s;
    bool high = true;
    const bool ok = parseSaveText(text, "settings", SettingsFormat, lines, reason) &&
                    f.take(lines, {"music", "detail", "gamma", "fullscreen", "assists"}, reason) &&
                    f.choice("music", "on", "off", s.music, reason) &&
                    f.choice("detail", "high", "low", high, reason) &&
                    f.number("gamma", LowestGamma, HighestGamma, s.gamma, reason) &&
                    f.choice("fullscreen", "on", "off", s.fullScreen, reason) &&
                    f.choice("assists", "on", "off", s.assists, reason);
    s.lowDetail = !high;
    if (ok) settings = s;
    return ok;
}

void loadSavedRecords(Game& game) {
    loadSettings(game);
    applySettings(game, game.saved.settings);
    game.saved.seen = currentSettings(game);
    keptCareer(game);
    loadBestScores(game);
}

CareerRecord& keptCareer(Game& game) {
    SavedRecords& saved = game.saved;
    if (!saved.careerLoaded) {
        saved.careerLoaded = true;
        saved.career = CareerRecord{};
        loadFile(CareerFileName, "starting a new career",
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

bool saveCareer(Game& game) { return saveFile(CareerFileName, "career", careerText(keptCareer(game))); }

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
    if (insertBestScore(best, score, today())) saveFile(BestScoresFileName, "best scores", bestScoresText(best));
    if (score > previous) return "a new best score!";
    if (previous > 0) return "best score: " + std::to_string(previous);
    return {};
}

Settings currentSettings(Game& game) {
    Settings now = game.saved.seen;
    // A music channel without a track was silenced by a failed open, not by the player.
    const AudioChannel& music = game.audio.channels[MusicChannel];
    if (music.stream) now.music = music.enabled != 0;
    now.lowDetail = isOn(game.shift.lowDetail);
    now.assists = isOn(game.shift.assists);
    now.gamma = game.screen.gamma;
    if (WindowBackend* window = activeWindow()) now.fullScreen = window->fullScreen();
    return now;
}

void keepSettings(Game& game) {
    SavedRecords& saved = game.saved;
    // Before start-up has applied the saved settings there is nothing to compare with.
    if (!saved.settingsLoaded) return;
    const Settings now = currentSettings(game);
    Settings next = saved.settings;
    if (now.music != saved.seen.music) next.music = now.music;
    if (now.lowDetail != saved.seen.lowDetail) next.lowDetail = now.lowDetail;
    if (now.gamma != saved.seen.gamma) next.gamma = now.gamma;
    if (now.fullScreen != saved.seen.fullScreen) next.fullScreen = now.fullScreen;
    if (now.assists != saved.seen.assists) next.assists = now.assists;
    saved.seen = now;
    if (next == saved.settings) return;
    saved.settings = next;
    saveFile(SettingsFileName, "settings", settingsText(next));
}

void setCareerAside() {
    const std::string path = saveFolder() + "/" + CareerFileName;
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
