#pragma once
// Helpers shared by the asset tests: captured console lines, temporary files and a
// synthetic pack whose pixels tell where they come from.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "artgen/encode.h"
#include "artgen/picture.h"
#include "core/system.h"

namespace hc::testing_assets {

// Collects console lines while alive.
class ConsoleCapture {
public:
    ConsoleCapture() {
        setConsoleSink([this](std::string_view text) {
            pending_ += text;
            for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
                lines.push_back(pending_.substr(0, end));
                pending_.erase(0, end + 1);
            }
        });
    }
    ~ConsoleCapture() { setConsoleSink(nullptr); }
    std::vector<std::string> lines;

private:
    std::string pending_;
};

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
public:
    explicit TempDir(const std::string& name) {
        path_ = std::filesystem::temp_directory_path() /
                ("hc_assets_" + name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// Picture ids for the coordinate code below.
constexpr int VehiclePicture = 1, WallPicture = 2, SheetPicture = 3;

// A byte that mixes a picture's id with a pixel's coordinates, so that a pixel found
// in the wrong place (a row flipped, a band swapped, a column shifted) shows a
// different value. Colour 0 is avoided, so transparency tests stay meaningful.
inline uint8_t coordinateCode(int picture, int x, int y) {
    const uint32_t mixed = uint32_t(x) * 7u + uint32_t(y) * 31u + uint32_t(picture) * 101u;
    const uint8_t code = static_cast<uint8_t>(mixed ^ (mixed >> 8));
    return code == 0 ? 1 : code;
}

struct SyntheticPictures {
    artgen::Picture vehicles{artgen::VehiclePictureWidth, artgen::VehiclePictureHeight};
    artgen::Picture walls{artgen::WallPictureWidth, artgen::WallPictureHeight};
    artgen::Picture sheet{artgen::AssetSheetWidth, artgen::AssetSheetHeight};
    SyntheticPictures() {
        fill(vehicles, VehiclePicture);
        fill(walls, WallPicture);
        fill(sheet, SheetPicture);
    }
    static void fill(artgen::Picture& p, int id) {
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) p.at(x, y) = coordinateCode(id, x, y);
    }
};

}  // namespace hc::testing_assets
