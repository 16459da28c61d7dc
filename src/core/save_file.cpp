#include "core/save_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <utility>

namespace hc {

namespace {

constexpr size_t MaxFileBytes = 64 * 1024;
constexpr std::string_view Product = "hazardcab";
constexpr std::string_view ChecksumKey = "checksum";

std::function<void(const std::string&)> renameHook;

std::string errnoText(int error) { return std::strerror(error); }

std::string hex8(uint32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", v);
    return text;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string temporaryName(const std::string& path, long pid) { return path + "." + std::to_string(pid) + ".tmp"; }

bool writeAll(int fd, std::string_view text, std::string& reason) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            reason = errnoText(errno);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

uint32_t crc32(std::string_view bytes) {
    // A byte at a time through a table made once (the graphics pack's checksum covers
    // more than a megabyte at every start).
    static const auto table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t crc = i;
            for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
            entries[i] = crc;
        }
        return entries;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) crc = (crc >> 8) ^ table[(crc ^ static_cast<uint8_t>(c)) & 0xFFu];
    return ~crc;
}

std::string formatSaveText(std::string_view kind, int version, const std::vector<SaveLine>& lines) {
    std::string text;
    text.append(Product).append(" ").append(kind).append(" ").append(std::to_string(version)).append("\n");
    for (const SaveLine& line : lines) text.append(line.key).append(" ").append(line.value).append("\n");
    const std::string sum = hex8(crc32(text));
    text.append(ChecksumKey).append(" ").append(sum).append("\n");
    return text;
}

namespace {

// The version in text's header line when it is one of kind; 0 when it is not; -1 when
// the version cannot be read.
int headerVersion(std::string_view text, std::string_view kind) {
    const std::string_view header = text.substr(0, text.find('\n'));
    const std::string expected = std::string(Product) + " " + std::string(kind) + " ";
    if (header.substr(0, expected.size()) != expected) return 0;
    const std::string_view versionText = header.substr(expected.size());
    int version = 0;
    const auto [end, error] = std::from_chars(versionText.data(), versionText.data() + versionText.size(), version);
    if (error != std::errc() || end != versionText.data() + versionText.size() || version < 1) return -1;
    return version;
}

}  // namespace

bool isNewerSaveText(std::string_view text, std::string_view kind, int newest) {
    return headerVersion(text, kind) > newest;
}

bool parseSaveText(std::string_view text, std::string_view kind, int newest, std::vector<SaveLine>& lines,
                   std::string& reason) {
    lines.clear();
    if (text.empty()) {
        reason = "the file is empty";
        return false;
    }
    // The header first: a newer game's file is said to be one even when the rest, its
    // checksum included, follows rules this game does not know.
    const int version = headerVersion(text, kind);
    if (version == 0) {
        reason = "it is not a " + std::string(kind) + " file";
        return false;
    }
    if (version < 0) {
        reason = "its version line is unreadable";
        return false;
    }
    if (version > newest) {
        reason = "it was written by a newer version of the game (format " + std::to_string(version) + ")";
        return false;
    }

    // The checksum line is the last one; everything before it is what it sums.
    std::string_view body = text;
    if (body.back() == '\n') body.remove_suffix(1);
    const size_t lastStart = body.rfind('\n') == std::string_view::npos ? 0 : body.rfind('\n') + 1;
    const std::string_view last = body.substr(lastStart);
    const std::string_view summed = text.substr(0, lastStart);
    const std::string prefix = std::string(ChecksumKey) + " ";
    if (lastStart == 0 || last.substr(0, prefix.size()) != prefix) {
        reason = "it is cut short (no checksum line at the end)";
        return false;
    }
    if (last.substr(prefix.size()) != hex8(crc32(summed))) {
        reason = "its checksum does not match its contents";
        return false;
    }

    size_t at = summed.find('\n') + 1;
    while (at < summed.size()) {
        const size_t lineEnd = summed.find('\n', at);
        const std::string_view line = summed.substr(at, lineEnd - at);
        at = lineEnd + 1;
        const size_t space = line.find(' ');
        if (space == std::string_view::npos || space == 0 || space + 1 == line.size()) {
            reason = "a line has no value: \"" + std::string(line.substr(0, 40)) + "\"";
            return false;
        }
        lines.push_back({std::string(line.substr(0, space)), std::string(line.substr(space + 1))});
    }
    return true;
}

FileRead readSmallFile(const std::string& path, std::string& text, std::string& reason) {
    return readRegularFile(path, MaxFileBytes, text, reason);
}

bool makeFolders(const std::string& folder, std::string& reason) {
    if (folder.empty()) {
        reason = "no folder";
        return false;
    }
    // Each parent in turn, then the folder itself.
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            reason = "cannot create " + part + " (" + errnoText(errno) + ")";
            return false;
        }
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        reason = folder + " is not a folder";
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view text, std::string& reason) {
    // Only a regular file is replaced: a FIFO, a device or a folder at the path is not
    // ours to take. A link is replaced by the file, never followed.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        reason = path + " is not a regular file";
        return false;
    }
    // One temporary name per process, so two games never write into each other's. It is
    // made afresh: whatever sits there already (a link, a file left by an earlier
    // process of the same number) is removed, not opened.
    const std::string temp = temporaryName(path, ::getpid());
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temp.c_str(), flags, 0644);
    if (fd < 0 && errno == EEXIST && ::unlink(temp.c_str()) == 0) fd = ::open(temp.c_str(), flags, 0644);
    if (fd < 0) {
        reason = "cannot create " + temp + " (" + errnoText(errno) + ")";
        return false;
    }
    bool ok = writeAll(fd, text, reason);
    if (ok && ::fsync(fd) != 0) {
        reason = "cannot flush " + temp + " (" + errnoText(errno) + ")";
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        reason = "cannot close " + temp + " (" + errnoText(errno) + ")";
        ok = false;
    }
    if (ok) {
        if (renameHook) renameHook(temp);
        if (::rename(temp.c_str(), path.c_str()) != 0) {
            reason = "cannot rename " + temp + " (" + errnoText(errno) + ")";
            ok = false;
        }
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself is on disk once the folder is flushed.
    const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

int removeStaleTemporaryFiles(const std::string& path) {
    const std::string folder = folderOf(path);
    const std::string stem = path.substr(path.rfind('/') + 1) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        // STEM.DIGITS.tmp and nothing else; a folder of that name is not removed.
        const std::string_view name = entry->d_name;
        if (!name.starts_with(stem) || !name.ends_with(".tmp")) continue;
        const std::string_view digits = name.substr(stem.size(), name.size() - stem.size() - 4);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) continue;
        if (::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

FolderLock::FolderLock(FolderLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FolderLock::~FolderLock() { release(); }

void FolderLock::release() {
    // Closing the file drops the lock.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

LockResult FolderLock::take(const std::string& folder, std::string& reason) {
    if (held()) return LockResult::Held;
    const std::string path = folder + "/" + LockFileName;
    // Non-blocking, so that a FIFO planted at the name cannot hold the start; never
    // through a link.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        reason = "cannot open " + path + " (" + errnoText(errno) + ")";
        return LockResult::Failed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = path + " is not a regular file";
        ::close(fd);
        return LockResult::Failed;
    }
    // A lock of the open file itself: a second open of the same file, even by this
    // process, is another holder, so two games in one test process shut each other out
    // as two processes do.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return LockResult::Busy;
        reason = "cannot lock " + path + " (" + errnoText(error) + ")";
        return LockResult::Failed;
    }
    fd_ = fd;
    return LockResult::Held;
}

std::string setFileAside(const std::string& path, std::string& reason, std::string_view suffix) {
    for (int n = 1; n <= 99; ++n) {
        const std::string aside = path + std::string(suffix) + (n == 1 ? std::string() : std::to_string(n));
        struct stat info {};
        if (::lstat(aside.c_str(), &info) == 0) continue;
        if (::rename(path.c_str(), aside.c_str()) == 0) return aside;
        reason = errnoText(errno);
        return {};
    }
    reason = "99 earlier copies are in the way";
    return {};
}

void setSaveRenameHook(std::function<void(const std::string& tempPath)> hook) { renameHook = std::move(hook); }

}  // namespace hc
