#include "core/data_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace hc {
namespace {

namespace fs = std::filesystem;

// A scratch tree: the game runs in root/play/here (so ../data is root/play/data), its
// executable is root/tree/bin/hazardcab, and the player's folder is root/mine.
class DataSearchTest : public ::testing::Test {
protected:
    fs::path before = fs::current_path(), root = fs::temp_directory_path() / ("hc_data_" + std::to_string(::getpid()));
    void SetUp() override {
        fs::remove_all(root);
        fs::create_directories(root / "play" / "here");
        fs::current_path(root / "play" / "here");
    }
    void TearDown() override {
        fs::current_path(before);
        fs::remove_all(root);
        setDataFolder("../data");
    }
    void packIn(const fs::path& folder) {
        fs::create_directories(folder);
        std::ofstream(folder / "graphics.pak") << "x";
    }
    std::string exe() const { return (root / "tree" / "bin" / "hazardcab").string(); }
    std::string mine() const { return (root / "mine").string(); }
};

TEST_F(DataSearchTest, TheFirstPlaceWithAPackWinsInOrder) {
    // The working directory's ../data, a build tree, an installed tree, the player's
    // folder: packs in every place from `first` on, and none before it.
    const std::string places[4] = {"../data", (root / "tree" / "data").string(),
                                   (root / "tree" / "share" / "hazardcab" / "data").string(), mine()};
    for (int first = 0; first <= 4; ++first) {
        for (const char* dir : {"play/data", "tree", "mine"}) fs::remove_all(root / dir);
        for (int p = first; p < 4; ++p) packIn(p == 0 ? root / "play" / "data" : fs::path(places[p]));
        const DataSearch search = findDataFolder(exe(), mine());
        EXPECT_EQ(search.found, first == 4 ? "" : places[first]) << first;
        EXPECT_EQ(search.tried.size(), size_t(std::min(first + 1, 4))) << first;
    }
    // Nothing found: one line naming every place tried, in order.
    EXPECT_EQ(describeMissingData(findDataFolder(exe(), mine())),
              "No game data (graphics.pak) found in ../data, " + places[1] + ", " + places[2] + ", " + places[3]);
}

TEST_F(DataSearchTest, AFolderWithoutAPackIsPassedOverAndDataFilesFollowTheChosenFolder) {
    fs::create_directories(root / "play" / "data" / "audio");  // music but no pack
    fs::create_directories(root / "mine" / "graphics.pak");    // a folder where the pack should be
    EXPECT_EQ(findDataFolder(exe(), mine()).found, mine());
    EXPECT_EQ(findDataFolder("", "").tried, std::vector<std::string>{"../data"});  // no executable, no option
    EXPECT_EQ(dataFile("graphics.pak"), "../data/graphics.pak");
    setDataFolder("/usr/share/hazardcab/data");
    EXPECT_EQ(dataFile("audio/track2.ogg"), "/usr/share/hazardcab/data/audio/track2.ogg");
    // The running test's own path is known, so an installed game can find its data.
    EXPECT_EQ(fs::path(executablePath()).filename(), "test_core");
}

}  // namespace
}  // namespace hc
