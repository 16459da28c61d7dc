#pragma once
#include <string>
#include <vector>

namespace hc {

// The folder the game reads its graphics pack and music from. It is "../data" (beside
// build/bin, as the game has always run) until start-up finds another.
const std::string& dataFolder();
void setDataFolder(std::string folder);
// A file of the data folder: the folder, a slash, the name.
std::string dataFile(const std::string& name);

// The folders start-up looks in, in order. A folder the player named is the only one.
// Otherwise the data next to the executable (exe/../data in a build tree,
// exe/../share/hazardcab/data in an installed tree), then ../data from the working
// directory. An empty executable path leaves its places out.
std::vector<std::string> dataFolderCandidates(const std::string& executable,
                                              const std::string& option);

struct DataSearch {
    std::string found;               // empty when no place has the data
    std::vector<std::string> tried;  // every place looked at, in order
};
// The first candidate that holds a graphics pack. A pack that exists but is broken is
// still found here: the loader then says what is wrong with it.
DataSearch findDataFolder(const std::string& executable, const std::string& option);
// The console line for a search that found nothing, listing every place tried.
std::string describeMissingData(const DataSearch& search);

// The running program's own path (empty where the system does not say).
std::string executablePath();

}  // namespace hc
