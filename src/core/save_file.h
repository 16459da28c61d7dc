#pragma once
// Small text files that must never lose data (the career, the best scores, the
// settings). The text is a header line "hazardcab KIND VERSION", one "key value" line
// per field, and a last line "checksum" with the CRC-32 of everything before it in
// eight lower-case hex digits. A write goes to a temporary file in the same folder,
// is flushed to disk and renamed over the old file, so a crash or a full disk leaves
// the previous file whole. One game at a time writes a folder: it holds the folder's
// lock (FolderLock) for as long as it runs.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/regular_file.h"

namespace hc {

struct SaveLine {
    std::string key;
    std::string value;
};

// CRC-32 (the reflected 0xEDB88320 polynomial, as zip uses it).
uint32_t crc32(std::string_view bytes);

// The whole text of a file of kind at version, checksum line included.
std::string formatSaveText(std::string_view kind, int version, const std::vector<SaveLine>& lines);

// Reads text made by formatSaveText for kind at a version from 1 to newest: the lines
// in file order. False, with a short reason, for anything else (another kind, a newer
// version, a line without a value, a missing or wrong checksum, text after it).
bool parseSaveText(std::string_view text, std::string_view kind, int newest, std::vector<SaveLine>& lines,
                   std::string& reason);

// True when text starts with the header line of kind at a version above newest: a file
// from a newer game, whose rest (checksum included) this game cannot judge.
bool isNewerSaveText(std::string_view text, std::string_view kind, int newest);

// Reads a whole regular file of at most 64 KiB.
FileRead readSmallFile(const std::string& path, std::string& text, std::string& reason);

// Creates the folder and any missing parents (mode 0700). False with the reason.
bool makeFolders(const std::string& folder, std::string& reason);

// Writes text as path: a temporary file beside it (PATH.PID.tmp, created afresh, never
// through a link), written, flushed, renamed over path, and the folder flushed. The
// folder must exist, and path must be a regular file (or a link, which is replaced) or
// nothing. False with the reason, and then path is as it was and the temporary file is
// gone.
bool writeFileAtomically(const std::string& path, std::string_view text, std::string& reason);

// Removes the temporary files of path that a game stopped while writing left behind
// (PATH.PID.tmp, any process id); only for the holder of the folder's lock, since a
// running game's own temporary file is in use. Returns how many went.
int removeStaleTemporaryFiles(const std::string& path);

// The lock that makes one game at a time the owner of a save folder: an advisory lock
// on FOLDER/game.lock, which the system drops when the game ends, however it ends.
enum class LockResult { Held, Busy, Failed };
class FolderLock {
public:
    FolderLock() = default;
    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&& other) noexcept;
    ~FolderLock();

    // Held when this lock now holds the folder (or already did); Busy when another game
    // holds it; Failed with the reason when the lock file cannot be made or locked.
    LockResult take(const std::string& folder, std::string& reason);
    bool held() const { return fd_ >= 0; }
    void release();

private:
    int fd_ = -1;
};
constexpr const char* LockFileName = "game.lock";

// Moves a file out of the way, never over an earlier one: path + suffix, else path +
// suffix + 2, 3 ... (".bad" for a file that cannot be used). Returns the new name, or
// empty with the reason.
std::string setFileAside(const std::string& path, std::string& reason, std::string_view suffix = ".bad");

// Called with the temporary file's name once it is written and flushed, just before the
// rename; null for none. Tests stop a write there to see that the old file survives.
void setSaveRenameHook(std::function<void(const std::string& tempPath)> hook);

}  // namespace hc
