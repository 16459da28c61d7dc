#pragma once
// Helpers shared by the asset tests: captured console lines, temporary files and a
// synthetic pack whose pixels tell where they come from.
#include <algorithm>
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
struct ConsoleCapture {
    std::vector<std::string> lines;
    std::string pending;
    ConsoleCapture() {
        setConsoleSink([this](std::string_view text) {
            for (pending += text; pending.find('\n') != std::string::npos; pending.erase(0, pending.find('\n') + 1))
                lines.push_back(pending.substr(0, pending.find('\n')));
        });
    }
    ~ConsoleCapture() { setConsoleSink(nullptr); }
};

// A fresh folder under the system's temporary folder, removed at the end.
struct TempDir {
    std::filesystem::path root;
    explicit TempDir(const std::string& name)
        : root(std::filesystem::temp_directory_path() / ("hc_assets_" + name + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    ~TempDir() { std::error_code ignored; std::filesystem::remove_all(root, ignored); }
    std::string file(const std::string& name) const { return (root / name).string(); }
    std::string path() const { return root.string(); }
};

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) std::fwrite(bytes.data(), 1, bytes.size(), file), std::fclose(file);
}

constexpr int VehiclePicture = 1, WallPicture = 2, SheetPicture = 3;

// A byte that mixes a picture's id with a pixel's coordinates, so that a pixel found in
// the wrong place shows a different value. Never 0, so transparency stays meaningful.
inline uint8_t coordinateCode(int picture, int x, int y) {
    const uint32_t mixed = uint32_t(x) * 7u + uint32_t(y) * 31u + uint32_t(picture) * 101u;
    return std::max<uint8_t>(1, static_cast<uint8_t>(mixed ^ (mixed >> 8)));
}

struct SyntheticPictures {
    artgen::Picture vehicles{artgen::VehiclePictureWidth, artgen::VehiclePictureHeight};
    artgen::Picture walls{artgen::WallPictureWidth, artgen::WallPictureHeight};
    artgen::Picture sheet{artgen::AssetSheetWidth, artgen::AssetSheetHeight};
    SyntheticPictures() {
        for (auto [p, id] : {std::pair{&vehicles, VehiclePicture}, {&walls, WallPicture}, {&sheet, SheetPicture}})
            for (int y = 0; y < p->height; ++y)
                for (int x = 0; x < p->width; ++x) p->at(x, y) = coordinateCode(id, x, y);
    }
    std::vector<uint8_t> stream() const {
        std::vector<uint8_t> bytes;
        artgen::buildPackStream(vehicles, walls, sheet, bytes);
        return bytes;
    }
};

}  // namespace hc::testing_assets
