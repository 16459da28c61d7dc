#include "platform/console.h"

#include <string>

#include "core/system.h"

namespace hc {

namespace {

// The text console numbers its colours blue-green-red (1 blue, 4 red); ANSI numbers
// them red-green-blue. Colours 8 to 15 are the bright versions of 0 to 7.
int ansiColour(int consoleColour) {
    static const int order[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    return order[consoleColour & 7];
}

bool bright(int consoleColour) { return (consoleColour & 8) != 0; }

}  // namespace

void consoleClear() {
    if (consoleIsTerminal()) consoleWrite("\x1b[2J\x1b[H");
}

void consoleSetColours(int foreground, int background) {
    if (!consoleIsTerminal()) return;
    foreground &= 15;
    background &= 15;
    const int fg = (bright(foreground) ? 90 : 30) + ansiColour(foreground);
    const int bg = (bright(background) ? 100 : 40) + ansiColour(background);
    consoleWrite("\x1b[" + std::to_string(fg) + ";" + std::to_string(bg) + "m");
}

void consoleResetColours() {
    if (consoleIsTerminal()) consoleWrite("\x1b[0m");
}

void consoleMoveCursor(int row, int column) {
    if (!consoleIsTerminal()) return;
    consoleWrite("\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H");
}

void consolePrintLine(std::string_view text) {
    std::string line(text);
    line += '\n';
    consoleWrite(line);
}

}  // namespace hc
