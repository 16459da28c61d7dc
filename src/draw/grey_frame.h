#pragma once
#include <cstdint>

#include "draw/image.h"

namespace hc {

// Turns a picture into a darkened grey version of itself: every pixel p becomes
// greyTable[p]. Used under the end-of-game score and behind the help pages. Does not
// present.
void greyFrame(Image& target, const uint8_t greyTable[256]);

}  // namespace hc
