#include "assets/graphics_pack.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "assets/colour_tables.h"
#include "assets/font.h"
#include "core/regular_file.h"
#include "core/save_file.h"
#include "core/system.h"

namespace hc {

bool decodeRecords(PackDecoder& decoder, const uint8_t* records, size_t count) {
    for (size_t r = 0; r < count && !decoder.overflow; ++r) {
        const uint8_t* record = records + r * PackRecordSize;
        const size_t pairs = record[0] == 0 ? 256 : record[0];
        const uint8_t first = record[1];
        const uint8_t second = record[2];
        if (pairs * 2 > decoder.capacity - decoder.length) {
            decoder.overflow = true;
            break;
        }
        uint8_t* out = decoder.out + decoder.length;
        for (size_t p = 0; p < pairs; ++p) {
            out[2 * p] = first;
            out[2 * p + 1] = second;
        }
        decoder.length += pairs * 2;
    }
    return !decoder.overflow;
}

namespace {

constexpr uint8_t SealMark[4] = {'H', 'C', 'P', 'K'};

// The seal the pictures at stream call for.
void makeSeal(const uint8_t* stream, uint8_t seal[PackSealSize]) {
    const uint32_t sum = crc32(std::string_view(reinterpret_cast<const char*>(stream), PackLayoutSize));
    std::memcpy(seal, SealMark, sizeof SealMark);
    for (int i = 0; i < 4; ++i) seal[4 + i] = static_cast<uint8_t>(sum >> (8 * i));
}

void finishDecode(PackDecodeResult& result, const PackDecoder& decoder) {
    result.length = decoder.length;
    if (decoder.overflow || decoder.length > PackStreamSize) {
        result.error = PackError::Overflow;
    } else if (decoder.length < PackStreamSize) {
        result.error = PackError::Short;
    } else if (!packSealMatches(decoder.out)) {
        result.error = PackError::Damaged;
    }
}

}  // namespace

void sealPackStream(uint8_t* stream) { makeSeal(stream, stream + PackLayoutSize); }

bool packSealMatches(const uint8_t* stream) {
    uint8_t expected[PackSealSize];
    makeSeal(stream, expected);
    return std::memcmp(stream + PackLayoutSize, expected, PackSealSize) == 0;
}

PackDecodeResult decodePack(const uint8_t* data, size_t size, uint8_t* out, size_t capacity) {
    PackDecoder decoder{out, capacity};
    decodeRecords(decoder, data, size / PackRecordSize);
    PackDecodeResult result;
    result.trailingBytes = size % PackRecordSize;
    finishDecode(result, decoder);
    return result;
}

PackDecodeResult decodePackFile(const std::string& path, uint8_t* out, size_t capacity) {
    PackDecodeResult result;
    std::string reason;
    const OpenedFile opened = openRegularFile(path, PackFileLimit, reason);
    std::FILE* file = opened.status == FileRead::Read ? ::fdopen(opened.fd, "rb") : nullptr;
    if (!file) {
        if (opened.status == FileRead::Read) {
            reason = std::strerror(errno);
            ::close(opened.fd);
        }
        result.error = opened.status == FileRead::Missing ? PackError::Missing : PackError::Unreadable;
        result.systemMessage = opened.status == FileRead::Missing ? std::strerror(ENOENT) : reason;
        return result;
    }
    PackDecoder decoder{out, capacity};
    // Whole records are decoded a chunk at a time; bytes of a record cut by the chunk
    // boundary are carried over to the next chunk.
    constexpr size_t ChunkRecords = 8192;
    uint8_t chunk[ChunkRecords * PackRecordSize];
    size_t carried = 0;
    while (!decoder.overflow) {
        const size_t got = std::fread(chunk + carried, 1, sizeof chunk - carried, file);
        const size_t available = carried + got;
        const size_t records = available / PackRecordSize;
        decodeRecords(decoder, chunk, records);
        carried = available - records * PackRecordSize;
        if (carried > 0) std::memmove(chunk, chunk + records * PackRecordSize, carried);
        if (got == 0) break;
    }
    const bool readFailed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (readFailed) {
        result.error = PackError::Unreadable;
        result.systemMessage = std::strerror(readErrno);
        result.length = decoder.length;
        return result;
    }
    result.trailingBytes = decoder.overflow ? 0 : carried;
    finishDecode(result, decoder);
    return result;
}

std::string describePackError(const std::string& path, const PackDecodeResult& result) {
    switch (result.error) {
        case PackError::None:
            return {};
        case PackError::Missing:
            return "Cannot open the graphics pack " + path + ": " + result.systemMessage;
        case PackError::Unreadable:
            return "Cannot read the graphics pack " + path + ": " + result.systemMessage;
        case PackError::Short:
            return "The graphics pack " + path + " is too short: it decodes to " +
                   std::to_string(result.length) + " bytes, " +
                   std::to_string(PackStreamSize) + " are needed";
        case PackError::Overflow:
            return "The graphics pack " + path + " is too long: it decodes to more than " +
                   std::to_string(PackStreamSize) + " bytes";
        case PackError::Damaged:
            return "The graphics pack " + path + " is damaged: its checksum does not match its pictures";
    }
    return {};
}

void cutVehicleSheets(const uint8_t* stream, GameState& state) {
    // Bands of 42 rows hold sheets 2k + 1 (columns 0..255) and 2k + 2 (256..511).
    const uint8_t* picture = stream + VehicleStreamStart;
    for (int streamRow = 0; streamRow < VehiclePictureRows; ++streamRow) {
        const int row = VehiclePictureRows - 1 - streamRow;
        const int band = row / VehicleSheetHeight;
        const int sheetRow = row % VehicleSheetHeight;
        const uint8_t* source = picture + size_t(streamRow) * PackRowWidth;
        for (int half = 0; half < 2; ++half) {
            VehicleSheet& sheet = state.vehicleSheets[2 * band + 1 + half];
            std::memcpy(sheet.data() + sheetRow * VehicleSheetWidth,
                        source + half * VehicleSheetWidth, VehicleSheetWidth);
        }
    }
}

void cutWallTextures(const uint8_t* stream, GameState& state) {
    // Bands of 128 rows hold five textures side by side: 5k + 1 .. 5k + 5.
    const uint8_t* picture = stream + WallStreamStart;
    for (int streamRow = 0; streamRow < WallPictureRows; ++streamRow) {
        const int row = WallPictureRows - 1 - streamRow;
        const int band = row / WallTextureSize;
        const int texelRow = row % WallTextureSize;
        const uint8_t* source = picture + size_t(streamRow) * PackRowWidth;
        for (int j = 0; j < 5; ++j) {
            WallTexture& texture = state.wallTextures[5 * band + 1 + j];
            std::memcpy(texture.data() + texelRow * WallTextureSize,
                        source + j * WallTextureSize, WallTextureSize);
        }
    }
}

namespace {

// Creates an image of the rectangle (x1, y1) to (x2, y2) inclusive of the sheet, or
// leaves it null when the image cannot be created.
Image* cutImage(const Image& sheet, int x1, int y1, int x2, int y2) {
    Image* image = createImage(x2 - x1 + 1, y2 - y1 + 1, sheet.bytesPerPixel);
    if (image) copyRect(sheet, x1, y1, image->width, image->height, *image, 0, 0);
    return image;
}

void replaceImage(Image*& slot, Image* image) {
    destroyImage(slot);
    slot = image;
}

}  // namespace

Image* buildAssetSheet(const uint8_t* stream, int bytesPerPixel) {
    Image* sheet = createImage(PackRowWidth, AssetSheetRows, bytesPerPixel);
    if (!sheet) return nullptr;
    const uint8_t* picture = stream + AssetStreamStart;
    for (int streamRow = 0; streamRow < AssetSheetRows; ++streamRow) {
        const int row = AssetSheetRows - 1 - streamRow;
        const uint8_t* source = picture + size_t(streamRow) * PackRowWidth;
        for (int x = 0; x < PackRowWidth; ++x) {
            // Wider pixels hold the palette index in their low byte.
            putPixel(*sheet, x, row, source[x]);
        }
    }
    return sheet;
}

void cutInterfaceImages(const Image& sheet, GameState& state, FontSet& font) {
    releaseGraphicsPack(state, font);
    if (sheet.width < PackRowWidth || sheet.height < AssetSheetRows) return;
    // Font: five rows of 50 glyphs, style by style.
    for (int style = 0; style < FontStyles; ++style) {
        for (int glyph = 0; glyph < FontGlyphs; ++glyph) {
            const int x = 10 * glyph;
            const int y = 1310 + 10 * style;
            font.glyphs[glyph * FontStyles + style] = cutImage(sheet, x, y, x + 9, y + 9);
        }
    }
    // Portraits: a two-column strip from (512, 1140), left to right, then down.
    int px = 512, py = 1140;
    for (int k = 1; k <= PortraitCount; ++k) {
        state.passengerPortraits[k] = cutImage(sheet, px, py, px + 63, py + 63);
        px += 64;
        if (px >= 640) {
            px -= 128;
            py += 64;
        }
    }
    state.cockpitImage = cutImage(sheet, 0, 960, 639, 1139);
    state.hudIcon = cutImage(sheet, 502, 1142, 509, 1149);
    state.garageIcon = cutImage(sheet, 320, 1360, 335, 1375);
    state.menuBackdrop = cutImage(sheet, 0, 560, 639, 959);
    state.titleImage = cutImage(sheet, 0, 1140, 499, 1309);
    state.garageBackdrop = cutImage(sheet, 0, 0, 639, 319);
    state.skyImage = cutImage(sheet, 0, 320, 639, 559);
}

void cutInterfaceImages(const uint8_t* stream, GameState& state, FontSet& font,
                        int bytesPerPixel) {
    Image* sheet = buildAssetSheet(stream, bytesPerPixel);
    if (sheet) {
        cutInterfaceImages(*sheet, state, font);
    } else {
        releaseGraphicsPack(state, font);
    }
    destroyImage(sheet);
}

void releaseGraphicsPack(GameState& state, FontSet& font) {
    for (Image*& glyph : font.glyphs) replaceImage(glyph, nullptr);
    for (Image*& portrait : state.passengerPortraits) replaceImage(portrait, nullptr);
    replaceImage(state.cockpitImage, nullptr);
    replaceImage(state.hudIcon, nullptr);
    replaceImage(state.garageIcon, nullptr);
    replaceImage(state.menuBackdrop, nullptr);
    replaceImage(state.titleImage, nullptr);
    replaceImage(state.garageBackdrop, nullptr);
    replaceImage(state.skyImage, nullptr);
}

bool loadGraphicsPack(GameState& state, FontSet& font, const Rgb palette[256],
                                 int bytesPerPixel, const std::string& path) {
    logLine("Extracting data, please wait");
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[PackBufferSize]);
    if (!buffer) {
        logLine("Not enough memory to decode the graphics pack " + path);
        return false;
    }
    const PackDecodeResult result = decodePackFile(path, buffer.get(), PackBufferSize);
    if (result.error != PackError::None) {
        logLine(describePackError(path, result));
        return false;
    }
    if (result.trailingBytes > 0) {
        logLine("Warning: the graphics pack " + path + " ends in a partial record of " +
                std::to_string(result.trailingBytes) + (result.trailingBytes == 1 ? " byte" : " bytes") +
                ", which is ignored");
    }

    logLine("Loading textures");
    cutVehicleSheets(buffer.get(), state);
    cutWallTextures(buffer.get(), state);

    logLine("Converting graphics data");
    Image* sheet = buildAssetSheet(buffer.get(), bytesPerPixel);
    buffer.reset();

    logLine("Loading additional graphics");
    if (sheet) {
        cutInterfaceImages(*sheet, state, font);
        destroyImage(sheet);
    } else {
        logLine("Not enough memory for the interface pictures of " + path);
        releaseGraphicsPack(state, font);
    }

    logLine("Creating color tables");
    buildShadeTable(palette, state.shadeTable);
    buildGreyTable(palette, state.greyTable);

    logLine("Just a moment...");
    return true;
}

}  // namespace hc
