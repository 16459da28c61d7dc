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
void setConsoleSink(std::function<void(std::string_view)> sink);  // null restores stdout

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
