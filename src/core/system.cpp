#include "core/system.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <unistd.h>

namespace hc {

namespace {
ClockHooks clockHooks;
std::function<void(std::string_view)> consoleSink;
bool sinkIsTerminal = true;
std::function<void(int)> processEndHandler;
}  // namespace

double clockSeconds() {
    if (clockHooks.now) return clockHooks.now();
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void sleepMilliseconds(int ms) {
    if (clockHooks.sleep) {
        clockHooks.sleep(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void setClockHooks(ClockHooks hooks) { clockHooks = std::move(hooks); }

void consoleWrite(std::string_view text) {
    if (consoleSink) {
        consoleSink(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void setConsoleSink(std::function<void(std::string_view)> sink, bool terminal) {
    consoleSink = std::move(sink);
    sinkIsTerminal = terminal;
}

bool consoleIsTerminal() { return consoleSink ? sinkIsTerminal : isatty(fileno(stdout)) == 1; }

void logLine(std::string_view text) {
    std::string line(text);
    line += '\n';
    consoleWrite(line);
}

void endProcess(int status) {
    if (processEndHandler) processEndHandler(status);
    std::fflush(stdout);
    std::exit(status);
}

void setProcessEndHandler(std::function<void(int)> handler) {
    processEndHandler = std::move(handler);
}

}  // namespace hc
