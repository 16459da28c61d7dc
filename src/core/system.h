#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace hc {

// Process services that the rest of the game reaches through replaceable hooks, so
// that tests can run any screen with a controlled clock, a captured console and an
// exit that does not end the test process.

// Monotonic seconds, sub-millisecond resolution.
double clockSeconds();
void sleepMilliseconds(int ms);

struct ClockHooks {
    std::function<double()> now;          // null: the steady system clock
    std::function<void(int)> sleep;       // null: a real sleep
};
void setClockHooks(ClockHooks hooks);

// Raw console output (no line end added). Defaults to standard output, flushed.
void consoleWrite(std::string_view text);
// A sink takes the console's output instead (null restores standard output); terminal
// says whether it stands for a terminal that understands escape sequences.
void setConsoleSink(std::function<void(std::string_view)> sink, bool terminal = true);
// Whether the console is a terminal: clearing, colours and cursor moves are written
// only then, so that a log file or a pipe gets plain text.
bool consoleIsTerminal();

// Writes a progress or error line to the console.
void logLine(std::string_view text);

// Ends the process with a status. Tests install a handler that throws instead; the
// handler must not return.
[[noreturn]] void endProcess(int status);
void setProcessEndHandler(std::function<void(int)> handler);  // null restores std::exit

// Thrown by test process-end handlers; carries the exit status.
struct ProcessEnded {
    int status;
};

}  // namespace hc
