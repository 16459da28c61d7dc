// Where the game finds its data: the working directory's ../data first, then beside the
// executable (a build tree, then an installed tree), then the folder the player named.
#include "core/data_path.h"

#include <gtest/gtest.h>

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
    fs::path root, before;
    void SetUp() override {
        before = fs::current_path();
        root = fs::temp_directory_path() / ("hc_data_" + std::to_string(::getpid()));
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
    enum Place { WorkDir, BuildTree, Installed, Option, Nowhere };
    // Which places hold a pack, and which one is used.
    const struct {
        bool has[4];
        Place used;
    } cases[] = {
        {{true, true, true, true}, WorkDir},
        {{false, true, true, true}, BuildTree},
        {{false, false, true, true}, Installed},
        {{false, false, false, true}, Option},
        {{true, false, false, false}, WorkDir},
        {{false, false, false, false}, Nowhere},
    };
    const std::string places[4] = {"../data", (root / "tree" / "data").string(),
                                   (root / "tree" / "share" / "hazardcab" / "data").string(), mine()};
    for (const auto& c : cases) {
        fs::remove_all(root / "play" / "data");
        fs::remove_all(root / "tree");
        fs::remove_all(root / "mine");
        for (int p = 0; p < 4; ++p) {
            if (c.has[p]) packIn(p == WorkDir ? root / "play" / "data" : fs::path(places[p]));
        }
        const DataSearch search = findDataFolder(exe(), mine());
        EXPECT_EQ(search.found, c.used == Nowhere ? "" : places[c.used]) << "case ending in " << c.used;
        EXPECT_EQ(search.tried.size(), c.used == Nowhere ? 4u : size_t(c.used) + 1);
    }
    // Nothing found: one line naming every place tried, in order.
    EXPECT_EQ(describeMissingData(findDataFolder(exe(), mine())),
              "No game data (graphics.pak) found in ../data, " + places[1] + ", " + places[2] + ", " + places[3]);
}

TEST_F(DataSearchTest, AFolderWithoutAPackIsPassedOverAndABrokenPackIsStillFound) {
    fs::create_directories(root / "play" / "data" / "audio");  // music but no pack
    fs::create_directories(root / "mine" / "graphics.pak");    // a folder where the pack should be
    EXPECT_EQ(findDataFolder(exe(), mine()).found, mine());
    // Without an executable path or an option those places are left out.
    EXPECT_EQ(findDataFolder("", "").tried, std::vector<std::string>{"../data"});
}

TEST_F(DataSearchTest, DataFilesFollowTheChosenFolder) {
    EXPECT_EQ(dataFile("graphics.pak"), "../data/graphics.pak");
    setDataFolder("/usr/share/hazardcab/data");
    EXPECT_EQ(dataFile("audio/track2.ogg"), "/usr/share/hazardcab/data/audio/track2.ogg");
    // The running test's own path is known, so an installed game can find its data.
    EXPECT_EQ(fs::path(executablePath()).filename(), "test_core");
}

}  // namespace
}  // namespace hc
