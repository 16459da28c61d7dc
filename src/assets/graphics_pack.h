#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "assets/game_state.h"
#include "core/data_path.h"
#include "draw/palette.h"

namespace hc {

struct FontSet;

// The graphics pack is a headerless stream of 3-byte records: a run length n (0 means
// 256) and a little-endian pair of pixels; each record appends the pair n times. The
// decoded stream holds three pictures 640 pixels wide, each stored bottom row first:
// the vehicle picture (126 rows), the wall picture (512 rows) and the asset sheet
// (1402 rows), followed by an 8-byte seal: "HCPK" and the CRC-32 of the pictures' bytes
// (least significant byte first). A pack must decode to exactly the pictures and the
// seal, and the seal must match, so that a damaged or foreign file is never drawn.
constexpr size_t PackBufferSize = 1311720;  // the fixed decode buffer
constexpr size_t PackLayoutSize = 1305600;  // the bytes the three pictures use
constexpr size_t PackSealSize = 8;
constexpr size_t PackStreamSize = PackLayoutSize + PackSealSize;  // what a pack decodes to
constexpr int PackRowWidth = 640;
constexpr int VehiclePictureRows = 126;
constexpr int WallPictureRows = 512;
constexpr int AssetSheetRows = 1402;
constexpr size_t VehicleStreamStart = 0;
constexpr size_t WallStreamStart = VehicleStreamStart + size_t(VehiclePictureRows) * PackRowWidth;
constexpr size_t AssetStreamStart = WallStreamStart + size_t(WallPictureRows) * PackRowWidth;
constexpr size_t PackRecordSize = 3;
// The largest pack file that can decode to PackStreamSize (every record a single pair,
// plus a partial record): anything larger is refused before it is read.
constexpr uint64_t PackFileLimit = PackStreamSize / 2 * PackRecordSize + PackRecordSize - 1;

// Writes the seal of stream[0 .. PackLayoutSize) at stream + PackLayoutSize.
void sealPackStream(uint8_t* stream);
// Whether the seal after the pictures matches them.
bool packSealMatches(const uint8_t* stream);
// The pack in the data folder that start-up found (../data/graphics.pak by default).
inline std::string defaultPackPath() { return dataFile("graphics.pak"); }

// Decodes records into a caller's buffer, a chunk at a time. Once a record would run
// past the capacity nothing more is written and overflow stays set.
struct PackDecoder {
    uint8_t* out = nullptr;
    size_t capacity = 0;
    size_t length = 0;       // decoded bytes so far
    bool overflow = false;
};
// Feeds `count` whole records; returns false once the decoder has overflowed.
bool decodeRecords(PackDecoder& decoder, const uint8_t* records, size_t count);

enum class PackError { None, Missing, Unreadable, Short, Overflow, Damaged };

struct PackDecodeResult {
    PackError error = PackError::None;
    size_t length = 0;          // decoded bytes (up to the overflow, if any)
    size_t trailingBytes = 0;   // bytes of a partial record at the end, ignored
    std::string systemMessage;  // the reason for Missing/Unreadable
};

// Decodes a whole pack held in memory into out[0 .. capacity). A trailing partial
// record is ignored and counted; a stream shorter than PackStreamSize is Short, a longer
// one Overflow, and one whose seal does not match Damaged.
PackDecodeResult decodePack(const uint8_t* data, size_t size, uint8_t* out, size_t capacity);
// The same for a pack file, read in chunks so that an oversized file is not held whole.
// Only a regular file of at most PackFileLimit bytes is read (Unreadable otherwise).
PackDecodeResult decodePackFile(const std::string& path, uint8_t* out, size_t capacity);
// The console line for a failed decode, naming the file and the fault; empty for None.
std::string describePackError(const std::string& path, const PackDecodeResult& result);

// Cutting a decoded stream of at least PackLayoutSize bytes into the game's records.
void cutVehicleSheets(const uint8_t* stream, GameState& state);
void cutWallTextures(const uint8_t* stream, GameState& state);
// The 640 x 1402 asset sheet as an image (null when it cannot be created).
Image* buildAssetSheet(const uint8_t* stream, int bytesPerPixel = 1);
// Cuts the font glyphs, the portraits and the interface images from the asset sheet
// as images of its bytes per pixel. An image that cannot be created stays null.
// Images already present are destroyed first.
void cutInterfaceImages(const Image& sheet, GameState& state, FontSet& font);
// Both steps from the decoded stream.
void cutInterfaceImages(const uint8_t* stream, GameState& state, FontSet& font,
                        int bytesPerPixel = 1);
// Destroys every image the pack created and clears the pointers.
void releaseGraphicsPack(GameState& state, FontSet& font);

// Reads the pack, cuts everything (images at the given bytes per pixel) and builds the
// colour tables from the given palette, writing the progress lines with logLine.
// Returns false, after a console line naming the file and the fault, when the pack is
// missing, unreadable (not a regular file, or too large), decodes to another length than
// PackStreamSize or is damaged (its seal does not match); nothing is cut then, and start-up ends the process with a non-zero
// status, since the game cannot run without its pictures. A trailing partial record
// only draws a warning.
bool loadGraphicsPack(GameState& state, FontSet& font, const Rgb palette[256], int bytesPerPixel,
                      const std::string& path = defaultPackPath());

}  // namespace hc
