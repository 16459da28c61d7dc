#include "platform/icon_file.h"

#include <cstdint>

#include "core/regular_file.h"

namespace hc {

namespace {

constexpr uint64_t IconFileLimit = 256u << 10;
constexpr size_t BmpHeadersSize = 54;  // the file header and a 40-byte information header

int64_t readLittle(const std::string& bytes, size_t at, int count) {
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    // Widths and heights are signed: a negative height means rows stored top down.
    if (count == 4) return static_cast<int32_t>(static_cast<uint32_t>(value));
    return static_cast<int64_t>(value);
}

}  // namespace

bool iconBmpFits(const std::string& bytes, std::string& reason) {
    if (bytes.size() < BmpHeadersSize || bytes.compare(0, 2, "BM") != 0 || readLittle(bytes, 14, 4) < 40) {
        reason = "it is not a BMP picture";
        return false;
    }
    const int64_t width = readLittle(bytes, 18, 4), height = readLittle(bytes, 22, 4);
    const int64_t rows = height < 0 ? -height : height;
    if (width < 1 || rows < 1 || width > IconSideLimit || rows > IconSideLimit) {
        reason = "it claims to be " + std::to_string(width) + " x " + std::to_string(height) +
                 " pixels, more than " + std::to_string(IconSideLimit) + " x " + std::to_string(IconSideLimit);
        return false;
    }
    const int64_t bits = readLittle(bytes, 28, 2), compression = readLittle(bytes, 30, 4);
    const int64_t offset = readLittle(bytes, 10, 4);
    // Uncompressed rows are padded to 4 bytes; a run-length picture has no fixed size,
    // but its side is bounded all the same.
    const int64_t rowBytes = (width * bits + 31) / 32 * 4;
    if (bits < 1 || bits > 32 || ((compression == 0 || compression == 3) && offset + rowBytes * rows > int64_t(bytes.size()))) {
        reason = "its pixels do not fit in its " + std::to_string(bytes.size()) + " bytes";
        return false;
    }
    return true;
}

bool readIconBmp(const std::string& path, std::string& bytes, std::string& reason) {
    reason.clear();
    if (readRegularFile(path, IconFileLimit, bytes, reason) != FileRead::Read) return false;
    return iconBmpFits(bytes, reason);
}

}  // namespace hc
