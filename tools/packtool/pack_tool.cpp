#include "packtool/pack_tool.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "artgen/encode.h"
#include "assets/graphics_pack.h"
#include "draw/builtin_font.h"
#include "draw/image.h"
#include "draw/palette.h"

namespace hc::packtool {

namespace {

void setError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

// Rows of a bottom-up stream section become a top-down picture.
void readBottomUp(const uint8_t* stream, int width, int height, artgen::Picture& picture) {
    picture = artgen::Picture(width, height);
    for (int r = 0; r < height; ++r) {
        std::memcpy(&picture.at(0, height - 1 - r), stream + size_t(r) * width, width);
    }
}

uint32_t packedColour(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
}

}  // namespace

bool readPack(const std::string& path, PackPictures& pictures, std::string* error,
              std::string* warning) {
    std::vector<uint8_t> buffer(PackBufferSize);
    const PackDecodeResult result = decodePackFile(path, buffer.data(), buffer.size());
    if (result.error != PackError::None) {
        setError(error, describePackError(path, result));
        return false;
    }
    if (warning) {
        warning->clear();
        if (result.trailingBytes > 0) {
            *warning = path + " ends in a partial record of " +
                       std::to_string(result.trailingBytes) + " byte(s), which is ignored";
        }
    }
    readBottomUp(buffer.data() + VehicleStreamStart, PackRowWidth, VehiclePictureRows,
                 pictures.vehicles);
    readBottomUp(buffer.data() + WallStreamStart, PackRowWidth, WallPictureRows, pictures.walls);
    readBottomUp(buffer.data() + AssetStreamStart, PackRowWidth, AssetSheetRows, pictures.sheet);
    return true;
}

bool writePalettedPng(const std::string& path, int width, int height, const uint8_t* pixels,
                      int stride, std::string* error) {
    uint8_t colormap[256 * 3];
    for (int i = 0; i < 256; ++i) {
        for (int k = 0; k < 3; ++k) colormap[i * 3 + k] = BasePalette[i][k];
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = 256;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels, stride, colormap)) {
        setError(error, "cannot write " + path + ": " + image.message);
        png_image_free(&image);
        return false;
    }
    return true;
}

bool readPalettedPng(const std::string& path, int width, int height, artgen::Picture& picture,
                     std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        setError(error, "cannot read " + path + ": " + image.message);
        png_image_free(&image);
        return false;
    }
    if (int(image.width) != width || int(image.height) != height) {
        setError(error, path + " is " + std::to_string(image.width) + " x " +
                            std::to_string(image.height) + " pixels; it must be " +
                            std::to_string(width) + " x " + std::to_string(height));
        png_image_free(&image);
        return false;
    }
    // Every PNG type is read as 8-bit RGBA and matched colour by colour: the palette
    // has no two equal entries, so a colour names its index.
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        setError(error, "cannot read " + path + ": " + image.message);
        png_image_free(&image);
        return false;
    }
    std::unordered_map<uint32_t, uint8_t> indexOf;
    for (int i = 0; i < 256; ++i) {
        indexOf.emplace(packedColour(BasePalette[i][0], BasePalette[i][1], BasePalette[i][2]),
                        static_cast<uint8_t>(i));
    }
    picture = artgen::Picture(width, height);
    size_t strangers = 0, seeThrough = 0;
    std::string first;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
            const auto found = indexOf.find(packedColour(p[0], p[1], p[2]));
            if (p[3] != 255) {
                if (seeThrough++ == 0 && first.empty()) {
                    first = "pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") is not opaque (alpha " + std::to_string(p[3]) + ")";
                }
            } else if (found == indexOf.end()) {
                if (strangers++ == 0 && first.empty()) {
                    first = "pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") has colour " + std::to_string(p[0]) + "," + std::to_string(p[1]) +
                            "," + std::to_string(p[2]) + ", which is not in the palette";
                }
            } else {
                picture.at(x, y) = found->second;
            }
        }
    }
    if (strangers + seeThrough > 0) {
        setError(error, path + ": " + std::to_string(strangers + seeThrough) +
                            " pixels are not palette colours; the first: " + first +
                            " (transparency is palette index 0, magenta 255,0,255)");
        return false;
    }
    return true;
}

bool unpackPack(const std::string& pack, const std::string& dir, std::string* error,
                std::string* warning) {
    PackPictures pictures;
    if (!readPack(pack, pictures, error, warning)) return false;
    const artgen::Picture* each[] = {&pictures.vehicles, &pictures.walls, &pictures.sheet};
    const char* names[] = {"vehicles.png", "walls.png", "sheet.png"};
    for (int i = 0; i < 3; ++i) {
        if (!writePalettedPng(dir + "/" + names[i], each[i]->width, each[i]->height,
                              each[i]->pixels.data(), each[i]->width, error)) {
            return false;
        }
    }
    return true;
}

bool packPictures(const std::string& dir, const std::string& pack, std::string* error) {
    PackPictures pictures;
    if (!readPalettedPng(dir + "/vehicles.png", artgen::VehiclePictureWidth,
                         artgen::VehiclePictureHeight, pictures.vehicles, error) ||
        !readPalettedPng(dir + "/walls.png", artgen::WallPictureWidth, artgen::WallPictureHeight,
                         pictures.walls, error) ||
        !readPalettedPng(dir + "/sheet.png", artgen::AssetSheetWidth, artgen::AssetSheetHeight,
                         pictures.sheet, error)) {
        return false;
    }
    std::vector<uint8_t> bytes;
    return artgen::encodePack(pictures.vehicles, pictures.walls, pictures.sheet, bytes, error) &&
           artgen::writeFileAtomically(pack, bytes, error);
}

namespace {

constexpr int Margin = 16;
constexpr int Gap = 8;
constexpr int LabelHeight = 12;
constexpr uint32_t Background = 29;  // a dark neutral grey, apart from the art's black
constexpr uint32_t LabelColour = 22;

void placeScaled(const artgen::Picture& source, int sx, int sy, int w, int h, int scale,
                 Image& target, int x, int y) {
    for (int row = 0; row < h * scale; ++row) {
        for (int col = 0; col < w * scale; ++col) {
            const int px = sx + col / scale, py = sy + row / scale;
            const int tx = x + col, ty = y + row;
            if (source.inside(px, py) && tx >= 0 && ty >= 0 && tx < target.width &&
                ty < target.height) {
                putPixel(target, tx, ty, source.at(px, py));
            }
        }
    }
}

// Places a labelled piece and returns the height it takes.
int placeLabelled(const std::string& label, const artgen::Picture& source, int sx, int sy, int w,
                  int h, int scale, Image* target, int x, int y) {
    if (target) {
        drawBuiltinText(*target, x, y, label, LabelColour);
        placeScaled(source, sx, sy, w, h, scale, *target, x, y + LabelHeight);
    }
    return LabelHeight + h * scale;
}

// Lays the whole contact sheet out; with a null target it only measures the height.
int layContactSheet(const PackPictures& p, const std::string& title, Image* target) {
    int y = Margin;
    if (target) drawBuiltinText(*target, Margin, y, title, LabelColour);
    y += LabelHeight + Gap;

    // Vehicle sheets at twice their size, two to a row (columns 512..639 are unused).
    for (int m = 1; m <= 6; ++m) {
        const int band = (m - 1) / 2, half = (m - 1) % 2;
        const int x = Margin + half * (2 * 256 + Gap);
        const int h = placeLabelled("vehicle sheet " + std::to_string(m), p.vehicles, half * 256,
                                    band * 42, 256, 42, 2, target, x, y);
        if (half == 1) y += h + Gap;
    }
    y += Gap;
    // Wall textures at twice their size, five to a row as in the pack.
    for (int n = 1; n <= 20; ++n) {
        const int band = (n - 1) / 5, j = (n - 1) % 5;
        const int x = Margin + j * (2 * 128 + Gap);
        const int h = placeLabelled("wall " + std::to_string(n), p.walls, j * 128, band * 128, 128,
                                    128, 2, target, x, y);
        if (j == 4) y += h + Gap;
    }
    y += Gap;
    // The interface pictures at their own size, as the game shows them.
    const int right = Margin + 640 + Gap;
    int h = placeLabelled("garage backdrop", p.sheet, 0, 0, 640, 320, 1, target, Margin, y);
    placeLabelled("sky", p.sheet, 0, 320, 640, 240, 1, target, right, y);
    y += h + Gap;
    h = placeLabelled("menu backdrop", p.sheet, 0, 560, 640, 400, 1, target, Margin, y);
    const int cockpit = placeLabelled("cockpit (magenta: see-through)", p.sheet, 0, 960, 640, 180,
                                      1, target, right, y);
    placeLabelled("title", p.sheet, 0, 1140, 500, 170, 1, target, right, y + cockpit + Gap);
    y += h + Gap;
    // The small pieces enlarged.
    for (int k = 1; k <= 8; ++k) {
        const int sx = 512 + 64 * ((k - 1) % 2), sy = 1140 + 64 * ((k - 1) / 2);
        h = placeLabelled("portrait " + std::to_string(k), p.sheet, sx, sy, 64, 64, 2, target,
                          Margin + (k - 1) * (128 + Gap), y);
    }
    y += h + Gap;
    for (int s = 0; s < 5; ++s) {
        h = placeLabelled("font style " + std::to_string(s), p.sheet, 0, 1310 + 10 * s, 500, 10, 2,
                          target, Margin, y);
        y += h + Gap;
    }
    h = placeLabelled("hud icon", p.sheet, 502, 1142, 8, 8, 4, target, Margin, y);
    const int icon = placeLabelled("garage icon", p.sheet, 320, 1360, 16, 16, 4, target,
                                   Margin + 128, y);
    y += std::max(h, icon) + Margin;
    return y;
}

}  // namespace

bool writeContactSheet(const std::string& pack, const std::string& png, std::string* error,
                       std::string* warning) {
    PackPictures pictures;
    if (!readPack(pack, pictures, error, warning)) return false;
    const std::string title = "graphics pack " + pack.substr(pack.find_last_of('/') + 1);
    const int width = 2 * Margin + 5 * 256 + 4 * Gap;
    const int height = layContactSheet(pictures, title, nullptr);
    std::unique_ptr<Image, void (*)(Image*)> sheet(createImage(width, height, 1), destroyImage);
    if (!sheet) {
        setError(error, "not enough memory for the contact sheet");
        return false;
    }
    fillImage(*sheet, Background);
    layContactSheet(pictures, title, sheet.get());
    return writePalettedPng(png, sheet->width, sheet->height, sheet->pixels, sheet->pitch, error);
}

}  // namespace hc::packtool
