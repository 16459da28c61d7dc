// The icon: the taxi front on the night skyline, at every size a desktop asks for.
#include "artgen/icon_art.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "draw/bmp.h"
#include "draw/image.h"
#include "draw/palette.h"

namespace artgen {

namespace {

// The taxi is vehicle sheet 4: second column, second row of 256 x 42 sheets; its front
// view is the sheet's last 64 texels.
constexpr int TaxiFrontX = 256 + 192, TaxiFrontY = 42, TaxiWidth = 64, TaxiHeight = 42;
// The sky rows shown above and behind the taxi: the glow over the skyline.
constexpr int SkyTop = 168;
constexpr int CornerRadius = 9;

bool outsideCorner(int x, int y) {
    const int r = CornerRadius;
    const int cx = x < r ? r : (x >= IconSize - r ? IconSize - 1 - r : x);
    const int cy = y < r ? r : (y >= IconSize - r ? IconSize - 1 - r : y);
    const int dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy > r * r;
}

}  // namespace

void drawIcon(const Picture& vehicles, const Picture& sky, Picture& icon) {
    icon = Picture(IconSize, IconSize, 0);
    for (int y = 0; y < IconSize; ++y) {
        for (int x = 0; x < IconSize; ++x) {
            if (outsideCorner(x, y)) continue;
            icon.at(x, y) = sky.at(x + 96, std::min(SkyTop + y, sky.height - 1));
        }
    }
    // The taxi stands on the bottom edge, seen from the front.
    const int top = IconSize - TaxiHeight;
    for (int y = 0; y < TaxiHeight; ++y) {
        for (int x = 0; x < TaxiWidth; ++x) {
            const uint8_t c = vehicles.at(TaxiFrontX + x, TaxiFrontY + y);
            if (c != 0 && !outsideCorner(x, top + y)) icon.at(x, top + y) = c;
        }
    }
}

std::vector<uint8_t> iconPixels(const Picture& icon, int size) {
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    const double step = static_cast<double>(icon.width) / size;
    for (int ty = 0; ty < size; ++ty) {
        for (int tx = 0; tx < size; ++tx) {
            // Each source pixel counts by the area of it that the target pixel covers;
            // colours are weighted by their opacity so that see-through edges stay clean.
            double r = 0, g = 0, b = 0, a = 0, area = 0;
            const double x0 = tx * step, x1 = x0 + step, y0 = ty * step, y1 = y0 + step;
            for (int sy = static_cast<int>(y0); sy < y1 && sy < icon.height; ++sy) {
                const double h = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
                for (int sx = static_cast<int>(x0); sx < x1 && sx < icon.width; ++sx) {
                    const double w = (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0)) * h;
                    const uint8_t c = icon.at(sx, sy);
                    area += w;
                    if (c == 0) continue;
                    const hc::Rgb rgb = hc::basePaletteEntry(c);
                    r += rgb.red * w;
                    g += rgb.green * w;
                    b += rgb.blue * w;
                    a += w;
                }
            }
            uint8_t* out = &rgba[(static_cast<size_t>(ty) * size + tx) * 4];
            if (a > 0) {
                out[0] = static_cast<uint8_t>(std::lround(r / a));
                out[1] = static_cast<uint8_t>(std::lround(g / a));
                out[2] = static_cast<uint8_t>(std::lround(b / a));
            }
            out[3] = static_cast<uint8_t>(std::lround(255.0 * a / area));
        }
    }
    return rgba;
}

bool writeIcons(const Picture& icon, const std::string& dir, std::string* error) {
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    for (int size : IconSizes) {
        const std::string path = dir + "/hazardcab-" + std::to_string(size) + ".png";
        const std::vector<uint8_t> rgba = iconPixels(icon, size);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(size);
        image.height = static_cast<png_uint_32>(size);
        image.format = PNG_FORMAT_RGBA;
        if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) {
            if (error) *error = "cannot write " + path + ": " + image.message;
            png_image_free(&image);
            return false;
        }
    }
    // The window's icon: palette indices with the game's palette, read by SDL.
    hc::Image* bmp = hc::createImage(IconSize, IconSize, 1);
    if (!bmp) {
        if (error) *error = "out of memory";
        return false;
    }
    for (int y = 0; y < IconSize; ++y) {
        for (int x = 0; x < IconSize; ++x) *hc::pixelAddress(*bmp, x, y) = icon.at(x, y);
    }
    uint32_t words[256];
    for (int i = 0; i < 256; ++i) {
        const hc::Rgb rgb = hc::basePaletteEntry(i);
        words[i] = 0xFF000000u | uint32_t(rgb.red) << 16 | uint32_t(rgb.green) << 8 | rgb.blue;
    }
    const bool written = hc::writeBmp(*bmp, words, dir + "/hazardcab-64.bmp", error);
    hc::destroyImage(bmp);
    return written;
}

}  // namespace artgen
