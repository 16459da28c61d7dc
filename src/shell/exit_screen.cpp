#include "shell/exit_screen.h"

#include <string>

#include "core/system.h"
#include "frontend/game.h"
#include "platform/console.h"
#include "platform/window.h"

namespace hc {

const char* const ExitPicture[ExitPictureRows] = {
    "                                        ",
    "                 F               F      ",
    "    F           F F                     ",
    "                 F                      ",
    "                    00     00           ",
    "   444   444  000000070   070           ",
    "44466644466640EDDDDD077000770      F    ",
    "666EEE66600E60DDDCDD07F87F870     F F   ",
    "EEEAAAEEE07000DDDDD07788788770     F    ",
    "AAABBBAAA07777DDCDD07D77077D70          ",
    "BBB999BBB90000DDDDCD070070070           ",
    "999   999   90EDDDDDD07777700           ",
    "            07000000000000070           ",
    "        F  070 070   070 0770  F        ",
    "           00  00    00   00   9        ",
    "                             F9 9F      ",
    "              F                9        ",
    "                               F        ",
};

const char* const FarewellLine = "  Thanks for playing! Drive safe, and mind the meter.";

namespace {

int cellColour(char code) {
    if (code >= '0' && code <= '9') return code - '0';
    if (code >= 'A' && code <= 'F') return code - 'A' + 10;
    return 1;  // a space: the blue background
}

}  // namespace

void showExitScreen(Game& game) {
    if (WindowBackend* window = activeWindow()) window->close();
    // Each cell is two console columns of background colour; the 40th is not shown.
    // Without a terminal (a log or a pipe) the picture is its colour codes as plain text,
    // a row a line, each code doubled as the cells are two columns wide.
    const bool terminal = consoleIsTerminal();
    for (int row = 1; row <= ExitPictureRows; ++row) {
        std::string plain;
        for (int cell = 0; cell <= 38; ++cell) {
            const char code = ExitPicture[row - 1][cell];
            if (!terminal) {
                plain.append(2, code);
                continue;
            }
            consoleSetColours(0, cellColour(code));
            consoleMoveCursor(row, 2 * cell + 1);
            consolePrintLine("  ");
        }
        if (!terminal) {
            while (!plain.empty() && plain.back() == ' ') plain.pop_back();
            consolePrintLine(plain);
        }
    }
    consoleSetColours(7, 0);
    consoleMoveCursor(ExitPictureRows + 1, 1);
    consolePrintLine(FarewellLine);
    consoleResetColours();
    shutdownAudio(game.audio);
    endProcess(0);
}

}  // namespace hc
