#include "shell/command_line.h"

#include <algorithm>
#include <string_view>

#include "core/data_path.h"
#include "core/system.h"
#include "shell/replays.h"
#include "shell/saves.h"
#include "shell/startup.h"

#ifndef HC_VERSION
#define HC_VERSION "0"
#endif

namespace hc {

namespace {

struct OptionEntry {
    const char* name;
    const char* value;  // the name of the value the option takes, or null
    const char* help;
    void (*apply)(CommandLine& line, const std::string& value);
};

// Every option the game knows. parseCommandLine and the --help text read only this.
const OptionEntry Options[] = {
    {"--help", nullptr, "show this help and exit",
     [](CommandLine& line, const std::string&) { line.help = true; }},
    {"--version", nullptr, "show the version and exit",
     [](CommandLine& line, const std::string&) { line.version = true; }},
    {"--data", "DIR", "take the game data from DIR and nowhere else",
     [](CommandLine& line, const std::string& value) { line.dataFolder = value; }},
    {"--fullscreen", nullptr, "start in full screen (F11 switches back)",
     [](CommandLine& line, const std::string&) { line.fullscreen = true; }},
    {"--replay", "FILE", "watch a recorded shift (Esc leaves, space pauses, Right doubles the speed)",
     [](CommandLine& line, const std::string& value) { line.replayFile = value; }},
    {"--watch-best", nullptr, "watch the best arcade shift's recording",
     [](CommandLine& line, const std::string&) { line.watchBest = true; }},
    {"--new-career", nullptr, "set the saved career aside (as career.txt.old) and start anew",
     [](CommandLine& line, const std::string&) { line.newCareer = true; }},
};

// An argument as an error line quotes it: the first 200 characters, and "..." when there
// were more, so that a huge argument does not flood the console.
std::string quoted(std::string_view arg) {
    constexpr size_t Longest = 200;
    return arg.size() <= Longest ? std::string(arg) : std::string(arg.substr(0, Longest)) + "...";
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc && line.error.empty(); ++i) {
        const std::string_view arg = argv[i];
        // "--data DIR" and "--data=DIR" both give the value.
        const size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const OptionEntry* entry = nullptr;
        for (const OptionEntry& option : Options) {
            if (name == option.name) entry = &option;
        }
        if (!entry) {
            line.error = "Unknown option '" + quoted(arg) + "' (try --help)";
        } else if (!entry->value && equals != std::string_view::npos) {
            line.error = "The option " + quoted(name) + " takes no value";
        } else if (!entry->value) {
            entry->apply(line, {});
        } else if (equals != std::string_view::npos) {
            entry->apply(line, std::string(arg.substr(equals + 1)));
        } else if (i + 1 < argc) {
            entry->apply(line, argv[++i]);
        } else {
            line.error = "The option " + std::string(name) + " needs a value: " + std::string(name) + " " + entry->value;
        }
    }
    return line;
}

std::string commandLineHelp() {
    std::string text = "Usage: hazardcab [OPTION]...\nA retro taxi arcade game.\n\n";
    for (const OptionEntry& option : Options) {
        std::string left = std::string("  ") + option.name + (option.value ? std::string(" ") + option.value : "");
        left.resize(std::max<size_t>(left.size() + 2, 20), ' ');
        text += left + option.help + "\n";
    }
    return text;
}

std::string versionLine() { return std::string("Hazard Cab 7700 ") + HC_VERSION; }

int runFromCommandLine(int argc, const char* const* argv) {
    const CommandLine line = parseCommandLine(argc, argv);
    if (!line.error.empty()) {
        logLine(line.error);
        return 2;
    }
    if (line.help) {
        consoleWrite(commandLineHelp());
        return 0;
    }
    if (line.version) {
        logLine(versionLine());
        return 0;
    }
    const DataSearch search = findDataFolder(executablePath(), line.dataFolder);
    if (search.found.empty()) {
        logLine(describeMissingData(search));
        return 1;
    }
    setDataFolder(search.found);
    // A recording that cannot be played is refused here, before a window opens.
    Recording replay;
    const std::string replayFile = line.watchBest ? replayPath(BestShiftReplay) : line.replayFile;
    std::string refusal;
    if (!replayFile.empty() && !loadRecording(replayFile, replay, refusal)) {
        logLine(refusal);
        return 1;
    }
    if (line.newCareer) setCareerAside();
    StartOptions options;
    options.fullscreen = line.fullscreen;
    if (!replayFile.empty()) options.replay = &replay;
    return runGame(options);
}

}  // namespace hc
