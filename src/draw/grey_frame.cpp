#include "draw/grey_frame.h"

namespace hc {

void greyFrame(Image& target, const uint8_t greyTable[256]) {
    if (!target.pixels) return;
    for (int y = 0; y < target.height; ++y) {
        if (target.bytesPerPixel == 1) {
            uint8_t* row = pixelAddress(target, 0, y);
            for (int x = 0; x < target.width; ++x) row[x] = greyTable[row[x]];
        } else {
            // Wider pixels hold a palette index in their low byte.
            for (int x = 0; x < target.width; ++x) {
                putPixel(target, x, y, greyTable[getPixel(target, x, y) & 0xFF]);
            }
        }
    }
}

}  // namespace hc
