#pragma once
// The files the game keeps between runs, all in one folder per user: the career
// (career.txt), the ten best arcade scores (best-scores.txt) and the settings
// (settings.txt). One game at a time owns the folder (its lock file, game.lock); a second
// game on it plays with saving off. Nothing else is written before the player saves,
// ends a shift or changes a setting. A spoilt file is moved aside as NAME.bad, and a file
// this game cannot judge (from a newer version, unreadable, not a regular file) is left
// as it is and not written in this run; either way one console line, and the game goes
// on with a new career, an empty table or default settings.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/save_file.h"
#include "core/saved_records.h"

namespace hc {

struct Game;
struct Shift;

constexpr const char* CareerFileName = "career.txt";
constexpr const char* BestScoresFileName = "best-scores.txt";
constexpr const char* SettingsFileName = "settings.txt";
constexpr const char* DayScoresFileName = "day-scores.txt";

// $HAZARDCAB_HOME, else $XDG_DATA_HOME/hazardcab, else $HOME/.local/share/hazardcab;
// empty when none of these is set.
std::string saveFolder();

// Each file's text, and its reader: false with the reason for a text that is not a
// good file of that kind (values out of range included).
std::string careerText(const CareerRecord& career);
bool readCareer(std::string_view text, CareerRecord& career, std::string& reason);
std::string bestScoresText(const std::vector<BestScore>& best);
bool readBestScores(std::string_view text, std::vector<BestScore>& best, std::string& reason);
// Settings missing from the text keep their defaults; lines of settings this game does
// not know go to others (when given) and are written back after the known ones.
std::string settingsText(const Settings& settings, const std::vector<SaveLine>& others = {});
bool readSettings(std::string_view text, Settings& settings, std::string& reason,
                  std::vector<SaveLine>* others = nullptr);

// Start-up: takes the save folder, loads the three files and applies the settings
// (music, detail, gamma, full screen, assists) to the open screen and the audio engine.
void loadSavedRecords(Game& game);
// The shift start clears the detail level; this puts the player's setting back.
void applyShiftSettings(Game& game);

// The career kept apart from the shift record, loaded on first use.
CareerRecord& keptCareer(Game& game);
// The career's money, upgrade stages and wear into the shift record, and back.
void careerToShift(const CareerRecord& career, Shift& shift);
void shiftToCareer(const Shift& shift, CareerRecord& career);
// Writes the kept career; false after a console line saying why it could not (said
// once, earlier, when this game saves nothing or leaves the career file alone).
bool saveCareer(Game& game);

// Puts score into the table when it is above zero and among the ten best (after the
// equal scores already there); true when it went in.
bool insertBestScore(std::vector<BestScore>& best, int64_t score, const std::string& date);
// An arcade game's end: enters the score, saves the table when it changed, and returns
// the line that the "time's up!" picture shows under the score (empty for none).
std::string enterArcadeScore(Game& game, int64_t score);
constexpr const char* NewBestScoreLine = "a new best score!";
// The city of the day's end: enters the score in that day's own table (a table of another
// day starts afresh), saves it, and returns the line that names the day ("the city of
// 2026-12-07") and its best score.
std::string enterDayScore(Game& game, int64_t score, const std::string& date);
// Reads the city of the day's table, once a run (the arcade's table is read at start-up).
void loadDayScores(Game& game);
// Today as YYYY-MM-DD, and as the number YYYYMMDD.
std::string todayText();
uint32_t todayNumber();

// The settings as the game has them now.
Settings currentSettings(Game& game);
// Writes the settings that changed since the last look, if any did (after start-up
// has loaded and applied them).
void keepSettings(Game& game);

// Writes bytes as FOLDER/name inside the save folder (the folder made if need be), as
// the other saves are written; false after one console line when it cannot, and quietly
// when this game saves nothing (another game holds the folder).
bool saveReplayFile(Game& game, const char* folder, const char* name, const std::string& bytes);

// Starts the next career from nothing: the saved career, if any, is moved aside as
// career.txt.old (then .old2, .old3 ...), never deleted, with one console line; not
// while another game holds the folder.
void setCareerAside();

}  // namespace hc
