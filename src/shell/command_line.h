#pragma once
#include <string>

namespace hc {

// What the player asked for on the command line. With no options every field keeps its
// default and the game starts as it always has.
struct CommandLine {
    bool help = false;
    bool version = false;
    bool fullscreen = false;
    bool newCareer = false;  // --new-career: the saved career is set aside
    std::string dataFolder;  // --data DIR: the last place the data is looked for
    std::string replayFile;  // --replay FILE: watch a recorded shift first
    bool watchBest = false;  // --watch-best: watch the best arcade shift first
    std::string error;       // the one line for a command line that cannot be used
};

// Reads the options after the program name. Options are looked up in one table, so a
// new option is one more entry there.
CommandLine parseCommandLine(int argc, const char* const* argv);
// The --help text: a usage line and one line per option.
std::string commandLineHelp();
// The --version line.
std::string versionLine();

// The whole program from its command line: --help and --version print and return 0, a
// bad command line prints its line and returns 2, missing data prints every place
// tried and returns 1; otherwise the data folder is named and the game runs.
int runFromCommandLine(int argc, const char* const* argv);

}  // namespace hc
