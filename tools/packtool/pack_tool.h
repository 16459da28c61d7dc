#pragma once
#include <string>

#include "artgen/picture.h"

namespace hc::packtool {

// The three pictures of a graphics pack, top row first.
struct PackPictures {
    artgen::Picture vehicles;  // 640 x 126
    artgen::Picture walls;     // 640 x 512
    artgen::Picture sheet;     // 640 x 1402
};

// Decodes a pack into its pictures. A trailing partial record is ignored and reported
// in warning; a missing, short or oversized pack fails with a reason in error.
bool readPack(const std::string& path, PackPictures& pictures, std::string* error,
              std::string* warning = nullptr);

// Writes an 8-bit paletted PNG with the game's palette.
bool writePalettedPng(const std::string& path, int width, int height, const uint8_t* pixels,
                      int stride, std::string* error);
// Reads a PNG of exactly width x height whose every pixel is a palette colour (a
// paletted or an RGB(A) PNG, fully opaque) into palette indices. Refuses anything
// else with a reason naming the file.
bool readPalettedPng(const std::string& path, int width, int height, artgen::Picture& picture,
                     std::string* error);

// The commands of the tool. Each returns false with a reason in error.
// unpack: vehicles.png, walls.png and sheet.png in dir.
bool unpackPack(const std::string& pack, const std::string& dir, std::string* error,
                std::string* warning = nullptr);
// pack: the reverse, from the three PNGs in dir.
bool packPictures(const std::string& dir, const std::string& pack, std::string* error);
// contact: every picture of the pack on one labelled sheet.
bool writeContactSheet(const std::string& pack, const std::string& png, std::string* error,
                       std::string* warning = nullptr);

}  // namespace hc::packtool
