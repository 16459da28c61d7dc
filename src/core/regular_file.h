#pragma once
// Opening files that come from outside the program (data, saves) without trusting them:
// only a regular file is opened (a FIFO, a device or a folder is refused at once, never
// waited on), and its size is checked against a bound before anything is read.
#include <cstdint>
#include <string>

namespace hc {

// Failed: it could not be opened or read, which may pass (permissions, an I/O error);
// NotRegular: a FIFO, a device or a folder; TooLarge: beyond the caller's bound.
enum class FileRead { Missing, Read, Failed, NotRegular, TooLarge };

// Opens path read-only (following links) when it is a regular file of at most maxBytes:
// returns the descriptor (close-on-exec, blocking reads) and its size. Missing when
// nothing is there (or a parent is not a folder); otherwise NotRegular ("it is not a
// regular file"), TooLarge ("it is larger than N bytes") or Failed ("it cannot be opened
// (...)") with that short reason.
struct OpenedFile {
    FileRead status = FileRead::Failed;
    int fd = -1;
    uint64_t size = 0;
};
OpenedFile openRegularFile(const std::string& path, uint64_t maxBytes, std::string& reason);

// Reads a whole regular file of at most maxBytes into text. A file that grows past the
// bound while it is read is refused too.
FileRead readRegularFile(const std::string& path, uint64_t maxBytes, std::string& text, std::string& reason);

}  // namespace hc
