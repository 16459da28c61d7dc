#pragma once
#include <string_view>

namespace hc {

// The process console through ANSI escape sequences, which are left out when the console
// is not a terminal (consoleIsTerminal). Colours are the 16 text-console
// colours: 0 black, 1 blue, 2 green, 3 cyan, 4 red, 5 magenta, 6 brown, 7 light grey,
// 8 dark grey, 9 light blue, 10 light green, 11 light cyan, 12 light red,
// 13 light magenta, 14 yellow, 15 white.
void consoleClear();
void consoleSetColours(int foreground, int background);
// Back to the terminal's own colours.
void consoleResetColours();
// Row and column count from 1.
void consoleMoveCursor(int row, int column);
void consolePrintLine(std::string_view text);

}  // namespace hc
