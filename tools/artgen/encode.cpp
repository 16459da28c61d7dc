#include "artgen/encode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "assets/graphics_pack.h"

namespace artgen {

namespace {

bool checkSize(const Picture& picture, int width, int height, const char* name,
               std::string* error) {
    if (picture.width == width && picture.height == height &&
        picture.pixels.size() == size_t(width) * size_t(height)) {
        return true;
    }
    if (error) {
        *error = std::string("the ") + name + " is " + std::to_string(picture.width) + " x " +
                 std::to_string(picture.height) + ", it must be " + std::to_string(width) +
                 " x " + std::to_string(height);
    }
    return false;
}

void appendBottomUp(const Picture& picture, std::vector<uint8_t>& stream) {
    for (int y = picture.height - 1; y >= 0; --y) {
        const uint8_t* row = picture.pixels.data() + size_t(y) * picture.width;
        stream.insert(stream.end(), row, row + picture.width);
    }
}

}  // namespace

bool buildPackStream(const Picture& vehicles, const Picture& walls, const Picture& sheet,
                     std::vector<uint8_t>& stream, std::string* error) {
    if (!checkSize(vehicles, VehiclePictureWidth, VehiclePictureHeight, "vehicle picture", error) ||
        !checkSize(walls, WallPictureWidth, WallPictureHeight, "wall picture", error) ||
        !checkSize(sheet, AssetSheetWidth, AssetSheetHeight, "asset sheet", error)) {
        return false;
    }
    stream.clear();
    stream.reserve(vehicles.pixels.size() + walls.pixels.size() + sheet.pixels.size());
    appendBottomUp(vehicles, stream);
    appendBottomUp(walls, stream);
    appendBottomUp(sheet, stream);
    stream.resize(stream.size() + hc::PackSealSize);
    hc::sealPackStream(stream.data());
    return true;
}

std::vector<uint8_t> encodeRuns(const uint8_t* stream, size_t size) {
    std::vector<uint8_t> records;
    const size_t pairs = (size + 1) / 2;
    auto pairAt = [&](size_t p) {
        const uint8_t first = stream[2 * p];
        const uint8_t second = 2 * p + 1 < size ? stream[2 * p + 1] : 0;
        return static_cast<uint16_t>(first | (second << 8));
    };
    size_t p = 0;
    while (p < pairs) {
        const uint16_t pair = pairAt(p);
        size_t run = 1;
        while (run < 256 && p + run < pairs && pairAt(p + run) == pair) ++run;
        records.push_back(static_cast<uint8_t>(run == 256 ? 0 : run));
        records.push_back(static_cast<uint8_t>(pair & 0xFF));
        records.push_back(static_cast<uint8_t>(pair >> 8));
        p += run;
    }
    return records;
}

bool encodePack(const Picture& vehicles, const Picture& walls, const Picture& sheet,
                std::vector<uint8_t>& pack, std::string* error) {
    std::vector<uint8_t> stream;
    if (!buildPackStream(vehicles, walls, sheet, stream, error)) return false;
    pack = encodeRuns(stream.data(), stream.size());
    return true;
}

bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string* error) {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        if (error) *error = "cannot create " + temporary + ": " + std::strerror(errno);
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        if (error) *error = "cannot write " + temporary + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error) *error = "cannot rename " + temporary + " to " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace artgen
