#pragma once
#include <cstdint>
#include <string>

#include "draw/image.h"

namespace hc {

// Saves an image as a BMP file: 8-bit images with the given 256 palette words
// (0xAARRGGBB; alpha ignored), 32-bit images as 32-bit BMPs. Rows are stored
// bottom-up and padded to 4 bytes. Returns false and fills error with a reason when the
// file could not be written (a partly written file is removed). With createOnly an
// existing file is never replaced: the call fails instead.
bool writeBmp(const Image& image, const uint32_t* paletteWords, const std::string& path,
              std::string* error = nullptr, bool createOnly = false);

}  // namespace hc
