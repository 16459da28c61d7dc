#pragma once
#include <string>

namespace hc {

// The window icon: a small BMP (64 x 64 as the art generator draws it). It is read whole
// only when it is a regular file of at most 256 KB, and used only when its header
// describes a picture of at most 256 x 256 whose pixels fit in the file, so that a
// header claiming a huge picture is never handed to the BMP loader.
constexpr int IconSideLimit = 256;

// The file's bytes when they pass those checks; otherwise false with a reason, which is
// empty when there is no file at all.
bool readIconBmp(const std::string& path, std::string& bytes, std::string& reason);
// The header check alone, on the bytes of a BMP file.
bool iconBmpFits(const std::string& bytes, std::string& reason);

}  // namespace hc
