#include "core/save_file.h"

#include <fcntl.h>
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

bool parseSaveText(std::string_view text, std::string_view kind, int newest, std::vector<SaveLine>& lines,
                   std::string& reason) {
    lines.clear();
    if (text.empty()) {
        reason = "the file is empty";
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

    // Header: product, kind, version.
    const size_t headerEnd = summed.find('\n');
    const std::string_view header = summed.substr(0, headerEnd);
    const std::string expected = std::string(Product) + " " + std::string(kind) + " ";
    if (header.substr(0, expected.size()) != expected) {
        reason = "it is not a " + std::string(kind) + " file";
        return false;
    }
    const std::string_view versionText = header.substr(expected.size());
    int version = 0;
    const auto [end, error] = std::from_chars(versionText.data(), versionText.data() + versionText.size(), version);
    if (error != std::errc() || end != versionText.data() + versionText.size() || version < 1) {
        reason = "its version line is unreadable";
        return false;
    }
    if (version > newest) {
        reason = "it was written by a newer version of the game (format " + std::to_string(version) + ")";
        return false;
    }

    size_t at = headerEnd + 1;
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
    // One temporary name per process, so two games never write into each other's.
    const std::string temp = path + "." + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
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
