#include "core/data_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <unistd.h>

namespace hc {
namespace {

namespace fs = std::filesystem;

// A scratch tree: the game runs in root/play/here (so ../data is root/play/data), its
// executable is root/tree/bin/hazardcab, and the player's folder is root/mine.
class DataSearchTest : public ::testing::Test {
protected:
    fs::path before = fs::current_path(), root = fs::temp_directory_path() / ("hc_data_" + std::to_string(::getpid()));
    void SetUp() override { fs::remove_all(root), fs::create_directories(root / "play" / "here"), fs::current_path(root / "play" / "here"); }
    void TearDown() override { fs::current_path(before), fs::remove_all(root), setDataFolder("../data"); }
    void packIn(const fs::path& folder) { fs::create_directories(folder), std::ofstream(folder / "graphics.pak") << "x"; }
    std::string exe() const { return (root / "tree" / "bin" / "hazardcab").string(); }
    std::string mine() const { return (root / "mine").string(); }
};

TEST_F(DataSearchTest, TheFirstPlaceWithAPackWinsInOrder) {
    // A build tree, an installed tree, the working directory's ../data: packs in every
    // place from `first` on, and none before it.
    const std::string places[3] = {(root / "tree" / "data").string(),
                                   (root / "tree" / "share" / "hazardcab" / "data").string(), "../data"};
    for (int first = 0; first <= 3; ++first) {
        for (const char* dir : {"play/data", "tree"}) fs::remove_all(root / dir);
        for (int p = first; p < 3; ++p) packIn(p == 2 ? root / "play" / "data" : fs::path(places[p]));
        const DataSearch search = findDataFolder(exe(), "");
        EXPECT_EQ(search.found, first == 3 ? "" : places[first]) << first;
        EXPECT_EQ(search.tried.size(), size_t(std::min(first + 1, 3))) << first;
        // A folder the player names is the only place, whatever the others hold.
        const DataSearch named = findDataFolder(exe(), mine());
        EXPECT_EQ(std::tuple(named.found, named.tried), std::tuple("", std::vector<std::string>{mine()})) << first;
    }
    // Nothing found: one line naming every place tried, in order.
    EXPECT_EQ(describeMissingData(findDataFolder(exe(), "")),
              "No game data (graphics.pak) found in " + places[0] + ", " + places[1] + ", ../data");
    packIn(root / "mine");
    EXPECT_EQ(findDataFolder(exe(), mine()).found, mine());
}

TEST_F(DataSearchTest, AFolderWithoutAPackIsPassedOverAndDataFilesFollowTheChosenFolder) {
    fs::create_directories(root / "tree" / "data" / "audio");  // music but no pack
    // A folder where the pack should be is found: the loader says what is wrong with it.
    const fs::path installed = root / "tree" / "share" / "hazardcab" / "data";
    fs::create_directories(installed / "graphics.pak");
    EXPECT_EQ(findDataFolder(exe(), "").found, installed.string());
    EXPECT_EQ(findDataFolder("", "").tried, std::vector<std::string>{"../data"});  // no executable, no option
    EXPECT_EQ(dataFile("graphics.pak"), "../data/graphics.pak");
    setDataFolder("/usr/share/hazardcab/data");
    EXPECT_EQ(dataFile("audio/track2.ogg"), "/usr/share/hazardcab/data/audio/track2.ogg");
    // The running test's own path is known, so an installed game can find its data.
    EXPECT_EQ(fs::path(executablePath()).filename(), "test_core");
}

}  // namespace
}  // namespace hc
