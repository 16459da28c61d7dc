#include "shell/saves.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <iterator>
#include <map>

#include "core/save_file.h"
#include "frontend/game.h"
#include "platform/audio.h"
#include "shell/shift_loop.h"
#include "support/arcade_game.h"
#include "support/headless_game.h"
#include "support/key_codes.h"

namespace hc {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const CareerRecord SomeCareer{123456789012, 3, 0, 2, 1, 0.1f, 0.999f, 1.0f, 17, 40, 9876};
const Settings SomeSettings{false, true, 0.8f - 0.2f, true, false};
const std::vector<BestScore> SomeScores{{900, "2024-05-01"}, {900, "2023-12-31"}, {12, "2024-01-02"}};

class Saves : public ::testing::Test {
protected:
    HeadlessGame hg;
    Game& g() { return hg.game(); }
    fs::path file(const char* name) const { return fs::path(hg.saveHome) / name; }
    void put(const char* name, const std::string& text) {
        fs::create_directories(hg.saveHome);
        std::ofstream(file(name), std::ios::binary) << text;
    }
    // The records read again from what the folder holds, the console cleared first.
    void reload() { hg.console.clear(), g().saved = SavedRecords{}, loadSavedRecords(g()); }
    // A game started again on the same save folder.
    std::unique_ptr<Game> restart() { auto next = std::make_unique<Game>(); loadSavedRecords(*next); return next; }
};

// The folder given for the game, else the XDG data folder's, else the one under HOME.
TEST_F(Saves, TheSaveFolderFollowsTheEnvironmentInOrder) {
    const struct { const char *game, *xdg, *home, *folder; } cases[] = {
        {"/g", "/x", "/h", "/g"}, {"", "/x", "/h", "/x/hazardcab"}, {"", "", "/h", "/h/.local/share/hazardcab"}, {"", "", "", ""}};
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    for (const auto& c : cases) {
        ::setenv("HAZARDCAB_HOME", c.game, 1), ::setenv("XDG_DATA_HOME", c.xdg, 1), ::setenv("HOME", c.home, 1);
        EXPECT_EQ(saveFolder(), c.folder) << c.game << c.xdg << c.home;
    }
    ::setenv("HAZARDCAB_HOME", hg.saveHome.c_str(), 1), ::unsetenv("XDG_DATA_HOME"), ::setenv("HOME", home.c_str(), 1);
}

TEST_F(Saves, EachFileReadsBackExactlyAndRefusesNonsenseValues) {
    CareerRecord career;
    Settings settings;
    std::vector<BestScore> best;
    std::string reason;
    EXPECT_EQ(std::tuple(readCareer(careerText(SomeCareer), career, reason), readSettings(settingsText(SomeSettings), settings, reason),
                         readBestScores(bestScoresText(SomeScores), best, reason)), std::tuple(true, true, true)) << reason;
    EXPECT_EQ(std::tie(career, settings, best), std::tie(SomeCareer, SomeSettings, SomeScores));
    g().saved.career = SomeCareer, g().saved.careerLoaded = true;  // and through the file, on a restart
    ASSERT_TRUE(saveCareer(g()));
    EXPECT_EQ(restart()->saved.career, SomeCareer);
    // One entry of a good text changed, dropped or added, the checksum made right: the
    // reader must refuse the values themselves.
    enum Edit { Replace, Drop, Add };
    const struct { const char *kind; Edit edit; const char *key, *value, *reason; } cases[] = {
        {"career", Replace, "money", "-1", "money is \"-1\", not a whole number from 0 to 1000000000000"},
        {"career", Replace, "turbo", "9", "turbo is \"9\", not a whole number from 0 to 3"},
        {"career", Replace, "brake-wear", "3.0000000000000000000", "brake-wear is \"3.000000000000000000\", not a number from 0 to 1"},
        {"career", Replace, "bodywork-wear", "nan", "bodywork-wear is \"nan\", not a number from 0 to 1"},
        {"career", Replace, "money", "12abc", "money is \"12abc\", not a whole number from 0 to 1000000000000"},
        {"career", Replace, "shifts", "999999999999999999990",  // quoted up to 20 characters
         "shifts is \"99999999999999999999\", not a whole number from 0 to 1000000000000"},
        {"career", Drop, "fares", "", "no \"fares\" entry"},
        {"career", Add, "cheat", "1", "unknown entry \"cheat\""},
        {"career", Add, "money", "5", "\"money\" appears twice"},
        {"settings", Replace, "gamma", "0.1", "gamma is \"0.1\", not a number from 0.5 to 1.5"},
        {"settings", Replace, "music", "loud", "music is \"loud\", not on or off"},
        {"best-scores", Replace, "score", "0 2024-01-01", "\"score 0 2024-01-01\" is not a score and a date"},
        {"best-scores", Replace, "score", "5 yesterday and the day before, and the one before that",  // quoted up to 40 characters
         "\"score 5 yesterday and the day before, an\" is not a score and a date"},
        {"best-scores", Add, "high", "5 2024-01-01", "\"high 5 2024-01-01\" is not a score and a date"},
    };
    for (const auto& c : cases) {
        const std::string kind = c.kind;
        const bool isCareer = kind == "career", isSettings = kind == "settings";
        std::vector<SaveLine> lines;
        ASSERT_TRUE(parseSaveText(isCareer ? careerText(SomeCareer) : isSettings ? settingsText(SomeSettings) : bestScoresText(SomeScores),
                                  kind, 1, lines, reason));
        const auto it = std::find_if(lines.begin(), lines.end(), [&](const SaveLine& l) { return l.key == c.key; });
        ASSERT_TRUE(c.edit == Add || it != lines.end()) << c.key;
        c.edit == Add ? lines.push_back({c.key, c.value}) : c.edit == Replace ? void(it->value = c.value) : void(lines.erase(it));
        const std::string bad = formatSaveText(kind, 1, lines);
        EXPECT_FALSE(isCareer ? readCareer(bad, career, reason) : isSettings ? readSettings(bad, settings, reason) : readBestScores(bad, best, reason))
            << c.key << " " << c.value;
        EXPECT_EQ(reason, c.reason);
    }
    EXPECT_FALSE(readBestScores(bestScoresText(std::vector<BestScore>(11, {5, "2024-01-01"})), best, reason));
    EXPECT_EQ(reason, "it holds more than 10 scores");
}

// Every bad file: one line naming it and the reason, the file kept aside as NAME.bad,
// and the game goes on from nothing; the next save is whole and leaves the bad copy.
TEST_F(Saves, ABadFileIsKeptAsideWithOneLineAndTheGameStartsAfresh) {
    const std::string career = careerText(SomeCareer);
    const struct { const char* name; std::string text; const char* reason; } cases[] = {
        {CareerFileName, career.substr(0, career.size() / 2), "it is cut short (no checksum line at the end)"},
        {CareerFileName, std::string(70 * 1024, 'x'), "it is larger than 65536 bytes"},
        {BestScoresFileName, bestScoresText({{-5, "2024-01-01"}}), "is not a score and a date"},
        {SettingsFileName, formatSaveText("settings", 1, {{"detail", "medium"}}), "detail is \"medium\""},
    };
    for (const auto& c : cases) {
        fs::remove_all(hg.saveHome), put(c.name, c.text), reload();
        const auto lines = hg.consoleLines();
        const std::string path = file(c.name).string();
        ASSERT_EQ(lines.size(), 1u) << c.name << ":\n" << hg.console;
        EXPECT_EQ(std::tuple(lines[0].starts_with("Cannot use " + path + ": "), lines[0].find(c.reason) != std::string::npos,
                             lines[0].find("; kept it as " + path + ".bad; ") != std::string::npos), std::tuple(true, true, true)) << lines[0];
        EXPECT_EQ(std::tuple(fs::exists(path), slurp(path + ".bad")), std::tuple(false, c.text));
        EXPECT_EQ(std::tuple(g().saved.career, g().saved.best.size(), g().saved.settings), std::tuple(CareerRecord{}, 0u, Settings{}));
        EXPECT_EQ(std::tuple(saveCareer(g()), fs::exists(path + ".bad")), std::tuple(true, true));
    }
}

// The first game holds the folder: a second one on it says so once and writes nothing,
// and only the holder clears away what a game stopped while saving left.
TEST_F(Saves, ASecondGameOnTheFolderSaysSoOnceAndWritesNothing) {
    put(CareerFileName, careerText(SomeCareer)), put("career.txt.4242.tmp", "stopped while saving");
    loadSavedRecords(g());
    EXPECT_EQ(hg.consoleLines(), std::vector<std::string>{"Removed 1 unfinished save(s) from " + hg.saveHome +
                                                          ", left by a game stopped while saving"});
    EXPECT_FALSE(fs::exists(file("career.txt.4242.tmp")));
    const std::string before = slurp(file(CareerFileName));
    put("career.txt.4343.tmp", "another game's, mid-save"), hg.console.clear();
    const auto second = restart();
    second->saved.career.money = 1, second->shift.assists = FlagOff;
    EXPECT_FALSE(saveCareer(*second));
    EXPECT_EQ(enterArcadeScore(*second, 500), "a new best score!");
    keepSettings(*second);
    EXPECT_EQ(hg.consoleLines(), std::vector<std::string>{"Another game is using the save folder " + hg.saveHome +
                                                          "; this one saves nothing"});
    EXPECT_EQ(slurp(file(CareerFileName)), before);
    EXPECT_EQ(std::tuple(fs::exists(file(BestScoresFileName)), fs::exists(file(SettingsFileName)), fs::exists(file("career.txt.4343.tmp")),
                         second->saved.careerSaved()), std::tuple(false, false, true, false)) << "best scores, settings, the other's temporary, saved";
    // The holder goes on saving.
    EXPECT_TRUE(g().saved.careerSaved());
    keptCareer(g()).money = 2;
    EXPECT_TRUE(saveCareer(g()));
    EXPECT_EQ(restart()->saved.career.money, 2);
}

// A file from a newer game, one that cannot be read, or something other than a file:
// one line, left exactly as it was, and no other file held back.
TEST_F(Saves, FilesThisGameCannotJudgeAreLeftAsTheyWere) {
    enum Setup { Text, Loop, Fifo, Folder };
    const struct { const char* name; Setup setup; std::string text; const char* reason; } cases[] = {
        {CareerFileName, Text, formatSaveText("career", 2, {{"money", "5"}, {"garage", "2"}}),
         "it was written by a newer version of the game (format 2)"},
        {BestScoresFileName, Text, "hazardcab best-scores 3\nnew rules\n",
         "it was written by a newer version of the game (format 3)"},
        {SettingsFileName, Text, formatSaveText("settings", 2, {{"music", "off"}}),
         "it was written by a newer version of the game (format 2)"},
        {CareerFileName, Loop, "", "it cannot be opened (Too many levels of symbolic links)"},
        {SettingsFileName, Fifo, "", "it is not a regular file"},
        {BestScoresFileName, Folder, "", "it is not a regular file"},
    };
    const std::map<std::string, std::string> tails = {
        {CareerFileName, "the career will not be saved in this run; starting a new career"},
        {BestScoresFileName, "the best scores will not be saved in this run; starting an empty best-score table"},
        {SettingsFileName, "the settings will not be saved in this run; using the default settings"}};
    ::alarm(20);  // a FIFO that held the start would end the test here
    for (const auto& c : cases) {
        fs::remove_all(hg.saveHome), fs::create_directories(hg.saveHome);
        const fs::path path = file(c.name);
        if (c.setup == Text) put(c.name, c.text);
        else if (c.setup == Loop) fs::create_symlink(path, path);
        else if (c.setup == Fifo) ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        else fs::create_directory(path);
        reload();  // then every save tried
        keptCareer(g()).money = 70, saveCareer(g()), enterArcadeScore(g(), 70), g().shift.assists = FlagOff, keepSettings(g());
        EXPECT_EQ(hg.consoleLines(), std::vector<std::string>{"Leaving " + path.string() + " alone: " + c.reason +
                                                              "; " + tails.at(c.name)})
            << c.name << " " << c.setup;
        const bool kept = c.setup == Text     ? slurp(path) == c.text
                          : c.setup == Loop   ? fs::is_symlink(path) && fs::read_symlink(path) == path
                          : c.setup == Fifo   ? fs::is_fifo(path)
                                              : fs::is_directory(path) && fs::is_empty(path);
        EXPECT_TRUE(kept) << c.name << " " << c.setup;
        EXPECT_FALSE(fs::exists(path.string() + ".bad")) << c.name;
        for (const char* other : {CareerFileName, BestScoresFileName, SettingsFileName})
            EXPECT_TRUE(other == c.name || fs::is_regular_file(file(other))) << other << " beside " << c.name;
        EXPECT_EQ(g().saved.careerSaved(), c.name != CareerFileName) << c.name;
    }
    ::alarm(0);
}

TEST_F(Saves, AnUnwritableFolderCostsOneLinePerSaveAndNothingElse) {
    fs::create_directories(fs::path(hg.saveHome).parent_path());
    std::ofstream(hg.saveHome) << "not a folder";  // this stops root as well as anyone
    loadSavedRecords(g());
    EXPECT_EQ(hg.console, "");
    keptCareer(g()).money = 300;
    EXPECT_FALSE(saveCareer(g()));
    EXPECT_EQ(hg.consoleLines(), std::vector<std::string>{"Cannot save the career in " + hg.saveHome +
                                                           "/career.txt: " + hg.saveHome + " is not a folder"});
    EXPECT_EQ(enterArcadeScore(g(), 40), "a new best score!");
    EXPECT_EQ(enterArcadeScore(g(), 30), "best score: 40");
    EXPECT_EQ(std::tuple(hg.consoleLines().size(), slurp(hg.saveHome)), std::tuple(size_t{3}, std::string("not a folder")));
}

TEST_F(Saves, BestScoresKeepTheTenBestAcrossARestart) {
    // Zero is no score; a tie is no new best.
    const std::pair<int64_t, const char*> steps[] = {
        {0, ""}, {300, "a new best score!"}, {200, "best score: 300"}, {300, "best score: 300"}, {301, "a new best score!"}};
    for (const auto& [score, line] : steps) EXPECT_EQ(enterArcadeScore(g(), score), line) << score;
    const auto next = restart();
    std::vector<int64_t> kept;
    for (const BestScore& b : next->saved.best) kept.push_back(b.date.size() == 10 ? b.score : -1);  // dated
    EXPECT_EQ(kept, (std::vector<int64_t>{301, 300, 300, 200}));
    std::vector<BestScore> table;
    for (int64_t s = 1; s <= 12; ++s) EXPECT_TRUE(insertBestScore(table, s * 10, "d"));
    EXPECT_FALSE(insertBestScore(table, 30, "d"));   // below the ten best
    EXPECT_TRUE(insertBestScore(table, 40, "new"));  // after the 40 already there
    ASSERT_EQ(table.size(), 10u);
    EXPECT_EQ(std::tuple(table.front().score, table[8].score, table[9].date), std::tuple(int64_t{120}, int64_t{40}, "new"));
}

TEST_F(Saves, SettingsApplyAtStartAndOnlyChangesAreWritten) {
    hg.openScreen(), put(SettingsFileName, settingsText(SomeSettings));
    const std::string before = slurp(file(SettingsFileName));
    loadSavedRecords(g());
    EXPECT_EQ(std::tuple(g().audio.channels[MusicChannel].enabled, isOn(g().shift.lowDetail), g().screen.gamma, hg.window.fullScreen(),
                         isOn(g().shift.assists)), std::tuple(0, true, SomeSettings.gamma, true, false)) << "music, low detail, gamma, full screen, assists";
    keepSettings(g());
    EXPECT_EQ(std::tuple(slurp(file(SettingsFileName)), fs::exists(file(CareerFileName)), fs::exists(file(BestScoresFileName))), std::tuple(before, false, false));
    // What the player changes is written, field by field.
    const struct { std::function<void()> change; Settings expected; } steps[] = {
        {[&] { hg.window.setFullScreen(false); }, {false, true, SomeSettings.gamma, false, false}},
        {[&] { applyGamma(g().screen, 1.2f); }, {false, true, 1.2f, false, false}},
        {[&] { g().shift.lowDetail = FlagOff; }, {false, false, 1.2f, false, false}},
        {[&] { g().shift.assists = FlagOn; }, {false, false, 1.2f, false, true}},
    };
    for (const auto& s : steps) {
        s.change();
        keepSettings(g());
        EXPECT_EQ(restart()->saved.settings, s.expected);
    }
    // At a shift's start only the detail is put back from the settings; the rest stays as the game has it.
    g().saved.settings = SomeSettings, g().audio.channels[MusicChannel].enabled = -1, applyShiftSettings(g());
    EXPECT_EQ(std::tuple(g().audio.channels[MusicChannel].enabled, isOn(g().shift.lowDetail), g().screen.gamma, hg.window.fullScreen(),
                         isOn(g().shift.assists)), std::tuple(-1, true, 1.2f, false, true)) << "music, low detail, gamma, full screen, assists";
}

// A settings file from before a setting existed still reads, the new one at its default;
// a setting only a newer game knows is written back as it was.
TEST_F(Saves, AnOlderSettingsFileReadsAndANewerSettingIsKept) {
    put(SettingsFileName, formatSaveText("settings", 1, {{"music", "off"}, {"vsync", "on"}, {"detail", "low"}}));
    loadSavedRecords(g());
    EXPECT_EQ(hg.console, "");
    EXPECT_EQ(g().saved.settings, (Settings{false, true, 1.0f, false, true}));
    EXPECT_TRUE(isOn(g().shift.assists));
    g().shift.assists = FlagOff, keepSettings(g());
    std::vector<SaveLine> lines;
    std::string reason;
    ASSERT_TRUE(parseSaveText(slurp(file(SettingsFileName)), "settings", 1, lines, reason)) << reason;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const SaveLine& l) { return l.key == "vsync" && l.value == "on"; }));
    EXPECT_EQ(restart()->saved.settings, (Settings{false, true, 1.0f, false, false}));
}

// Low detail chosen by the player stays through every shift's start (classic mode as
// well), and the settings file is not rewritten for it.
TEST(SavedDetail, ALowDetailSettingLastsThroughEachShiftAndTheFileStaysAsItWas) {
    ArcadeGame arcade;
    Game& g = arcade.game();
    const fs::path settings = fs::path(arcade.saveHome) / SettingsFileName;
    fs::create_directories(arcade.saveHome), std::ofstream(settings, std::ios::binary) << settingsText({true, true, 1.0f, false, false});
    const std::string before = slurp(settings);
    loadSavedRecords(g);
    for (int shift = 0; shift < 2; ++shift) {
        arcade.resetShiftRecords(4), beginShift(g, arcade.view);
        EXPECT_TRUE(isOn(g.shift.lowDetail)) << "shift " << shift;
        keepSettings(g);
    }
    EXPECT_EQ(slurp(settings), before);
}

// Full screen by a start-up option, or music off after a failed track, is not the saved setting: nothing is written.
TEST_F(Saves, AStartOptionOrAFailedTrackIsNotTheSavedSetting) {
    hg.openScreen(), initAudio(g().audio), hg.window.setFullScreen(true);
    loadSavedRecords(g());
    openTrackFile(g().audio, 1, hg.saveHome + "/no-such-track.ogg");
    keepSettings(g());
    EXPECT_EQ(std::tuple(g().audio.channels[MusicChannel].enabled, fs::exists(file(SettingsFileName))), std::tuple(0, false));
    shutdownAudio(g().audio);
}

TEST_F(Saves, ANewCareerSetsTheOldOneAsideNeverOverAnEarlierOne) {
    setCareerAside();
    EXPECT_EQ(hg.consoleLines().back(), "No saved career to set aside; a new one starts in career mode");
    for (const char* aside : {"career.txt.old", "career.txt.old2"}) {
        put(CareerFileName, careerText(SomeCareer));
        setCareerAside();
        EXPECT_EQ(std::tuple(fs::exists(file(CareerFileName)), slurp(file(aside))), std::tuple(false, careerText(SomeCareer))) << aside;
        EXPECT_EQ(hg.consoleLines().back(), "The last career is kept as " + file(aside).string() +
                                                "; a new one starts in career mode");
    }
    EXPECT_EQ(restart()->saved.career.money, 0);
    // Not while a game runs on the folder: it would save its career there again.
    loadSavedRecords(g());
    put(CareerFileName, careerText(SomeCareer)), setCareerAside();
    EXPECT_EQ(hg.consoleLines().back(),
              "Another game is using the save folder " + hg.saveHome + "; the career is not set aside");
    EXPECT_EQ(slurp(file(CareerFileName)), careerText(SomeCareer));
}

// The city of the day keeps one day's table of its own, apart from the arcade's, and
// survives a restart; another day's table makes way. A score of 0 on an empty table names only the day.
TEST_F(Saves, TheCityOfTheDayKeepsItsOwnTableForOneDay) {
    const struct { const char* date; int64_t score; const char* line; } steps[] = {
        {"2026-12-06", 0, "the city of 2026-12-06"}, {"2026-12-07", 50, "the city of 2026-12-07: a new best score!"},
        {"2026-12-07", 20, "the city of 2026-12-07, best: 50"}, {"2026-12-07", 50, "the city of 2026-12-07, best: 50"},  // a tie is no new best
        {"2026-12-08", 10, "the city of 2026-12-08: a new best score!"},
    };
    for (const auto& s : steps) EXPECT_EQ(enterDayScore(g(), s.score, s.date), s.line) << s.date << " " << s.score;
    const auto next = restart();
    EXPECT_EQ(enterDayScore(*next, 5, "2026-12-08"), "the city of 2026-12-08, best: 10") << "read back after a restart";
    EXPECT_EQ(next->saved.dayBest, (std::vector<BestScore>{{10, "2026-12-08"}, {5, "2026-12-08"}}));
    EXPECT_FALSE(fs::exists(file(BestScoresFileName))) << "the arcade's table is another";
}

}  // namespace
}  // namespace hc
