#include "core/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace hc {

OpenedFile openRegularFile(const std::string& path, uint64_t maxBytes, std::string& reason) {
    OpenedFile file;
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            file.status = FileRead::Missing;
            return file;
        }
        reason = std::string("it cannot be opened (") + std::strerror(errno) + ")";
        return file;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        reason = std::string("it cannot be examined (") + std::strerror(errno) + ")";
    } else if (!S_ISREG(info.st_mode)) {
        reason = "it is not a regular file";
        file.status = FileRead::NotRegular;
    } else if (static_cast<uint64_t>(info.st_size) > maxBytes) {
        reason = "it is larger than " + std::to_string(maxBytes) + " bytes";
        file.status = FileRead::TooLarge;
    } else {
        // Reads from a regular file never wait anyway; clear the flag for plain semantics.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        file.status = FileRead::Read;
        file.fd = fd;
        file.size = static_cast<uint64_t>(info.st_size);
        return file;
    }
    ::close(fd);
    return file;
}

FileRead readRegularFile(const std::string& path, uint64_t maxBytes, std::string& text, std::string& reason) {
    text.clear();
    const OpenedFile file = openRegularFile(path, maxBytes, reason);
    if (file.status != FileRead::Read) return file.status;
    text.reserve(file.size);
    char buffer[4096];
    FileRead result = FileRead::Read;
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            reason = std::string("it cannot be read (") + std::strerror(errno) + ")";
            result = FileRead::Failed;
            break;
        }
        if (n == 0) break;
        if (text.size() + static_cast<size_t>(n) > maxBytes) {
            reason = "it is larger than " + std::to_string(maxBytes) + " bytes";
            result = FileRead::TooLarge;
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(file.fd);
    if (result != FileRead::Read) text.clear();
    return result;
}

}  // namespace hc
