#include "core/data_path.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace hc {

namespace {

namespace fs = std::filesystem;

std::string& folderSetting() {
    static std::string folder = "../data";
    return folder;
}

}  // namespace

const std::string& dataFolder() { return folderSetting(); }

void setDataFolder(std::string folder) { folderSetting() = std::move(folder); }

std::string dataFile(const std::string& name) { return dataFolder() + "/" + name; }

std::vector<std::string> dataFolderCandidates(const std::string& executable,
                                              const std::string& option) {
    // The player's folder is the only place when named: data found elsewhere must never
    // stand in for it silently.
    if (!option.empty()) return {option};
    std::vector<std::string> places;
    if (!executable.empty()) {
        // Relative to the executable, so that an installed or unpacked tree can move.
        const fs::path bin = fs::path(executable).parent_path();
        places.push_back((bin / ".." / "data").lexically_normal().string());
        places.push_back((bin / ".." / "share" / "hazardcab" / "data").lexically_normal().string());
    }
    // Last, and only for a game run from a bare build folder: the working directory is
    // wherever the player happens to be, and its parent may belong to someone else.
    places.push_back("../data");
    return places;
}

DataSearch findDataFolder(const std::string& executable, const std::string& option) {
    DataSearch search;
    for (const std::string& place : dataFolderCandidates(executable, option)) {
        search.tried.push_back(place);
        std::error_code error;
        // Any entry named like the pack counts, even a broken one (see the header).
        if (fs::exists(fs::path(place) / "graphics.pak", error)) {
            search.found = place;
            break;
        }
    }
    return search;
}

std::string describeMissingData(const DataSearch& search) {
    std::string line = "No game data (graphics.pak) found in";
    for (size_t i = 0; i < search.tried.size(); ++i) line += (i ? ", " : " ") + search.tried[i];
    return line;
}

std::string executablePath() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

}  // namespace hc
