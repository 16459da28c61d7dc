#include "draw/bmp.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace hc {

namespace {

void putLe16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void putLe32(std::vector<uint8_t>& out, uint32_t v) {
    putLe16(out, v & 0xFFFF);
    putLe16(out, v >> 16);
}

}  // namespace

bool writeBmp(const Image& image, const uint32_t* paletteWords, const std::string& path,
              std::string* error, bool createOnly) {
    auto fail = [&](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    if (image.width <= 0 || image.height <= 0 || !image.pixels) return fail("empty image");
    if (image.bytesPerPixel != 1 && image.bytesPerPixel != 4) return fail("unsupported pixel format");
    if (image.bytesPerPixel == 1 && !paletteWords) return fail("no palette for an 8-bit image");

    const bool indexed = image.bytesPerPixel == 1;
    const uint32_t paletteBytes = indexed ? 256 * 4 : 0;
    // Rows are padded to a multiple of 4 bytes.
    const uint64_t rowBytes = (static_cast<uint64_t>(image.width) * image.bytesPerPixel + 3) & ~uint64_t{3};
    const uint64_t pixelBytes = rowBytes * static_cast<uint64_t>(image.height);
    const uint32_t dataOffset = 14 + 40 + paletteBytes;
    if (pixelBytes + dataOffset > 0xFFFFFFFFull) return fail("image too large for a BMP file");

    std::vector<uint8_t> out;
    out.reserve(dataOffset + static_cast<size_t>(pixelBytes));
    // File header.
    out.push_back('B');
    out.push_back('M');
    putLe32(out, static_cast<uint32_t>(dataOffset + pixelBytes));
    putLe32(out, 0);
    putLe32(out, dataOffset);
    // Information header: positive height, so rows are stored bottom-up.
    putLe32(out, 40);
    putLe32(out, static_cast<uint32_t>(image.width));
    putLe32(out, static_cast<uint32_t>(image.height));
    putLe16(out, 1);
    putLe16(out, indexed ? 8 : 32);
    putLe32(out, 0);  // no compression
    putLe32(out, static_cast<uint32_t>(pixelBytes));
    putLe32(out, 2835);  // 72 dots per inch
    putLe32(out, 2835);
    putLe32(out, indexed ? 256 : 0);
    putLe32(out, 0);
    if (indexed) {
        for (int i = 0; i < 256; ++i) {
            const uint32_t w = paletteWords[i];
            out.push_back(static_cast<uint8_t>(w));        // blue
            out.push_back(static_cast<uint8_t>(w >> 8));   // green
            out.push_back(static_cast<uint8_t>(w >> 16));  // red
            out.push_back(0);
        }
    }
    const size_t used = static_cast<size_t>(image.width) * static_cast<size_t>(image.bytesPerPixel);
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = pixelAddress(image, 0, y);
        out.insert(out.end(), row, row + used);
        out.insert(out.end(), static_cast<size_t>(rowBytes) - used, uint8_t{0});
    }

    // "x" opens for exclusive creation: an existing file is never replaced.
    std::FILE* file = std::fopen(path.c_str(), createOnly ? "wbx" : "wb");
    if (!file) return fail(std::strerror(errno));
    const size_t written = std::fwrite(out.data(), 1, out.size(), file);
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written != out.size() || !closed) {
        std::remove(path.c_str());
        return fail(std::strerror(written != out.size() ? writeErrno : errno));
    }
    return true;
}

}  // namespace hc
