#include "frontend/busy_icon.h"

#include <cmath>

#include "core/colours.h"
#include "platform/screen.h"

namespace hc {

void drawBusyIcon(ScreenContext& screen) {
    Image& target = renderTarget(screen);
    const uint32_t white = colourIndex(screen, ColourNearWhite);
    fillBox(target, 0, 0, target.width - 1, target.height - 1, colourIndex(screen, ColourBlack));
    const int cx = static_cast<int>(std::nearbyint(target.width / 2.0));
    const int cy = static_cast<int>(std::nearbyint(target.height / 2.0));
    for (int i = -9; i <= 9; ++i) {
        const int y = cy + i;
        const int a = i < 0 ? -i : i;
        if (a >= 8) {
            drawLine(target, cx - 6, y, cx + 6, y, white);  // the hourglass's ends
        } else if (a >= 4) {
            drawLine(target, cx - 5, y, cx - 5, y, white);  // the bulbs' straight sides
            drawLine(target, cx + 5, y, cx + 5, y, white);
        } else {
            drawLine(target, cx - (a + 1), y, cx - (a + 1), y, white);  // the waist
            drawLine(target, cx + (a + 1), y, cx + (a + 1), y, white);
        }
        if (i == 5 || i == 6) drawLine(target, cx - 2, y, cx + 2, y, white);  // sand below
        if (i == -2) drawLine(target, cx - 1, y, cx + 1, y, white);           // sand above
    }
    presentFrame(screen);
}

}  // namespace hc
