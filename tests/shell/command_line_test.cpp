// The command line: a table of options, one line and status 2 for anything else.
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "support/headless_platform.h"

namespace hc {
namespace {

TEST(CommandLine, OptionsAndMistakes) {
    const struct {
        std::vector<const char*> args;
        bool help, version, fullscreen;
        const char *data, *error;
    } cases[] = {
        {{}, false, false, false, "", ""},
        {{"--help"}, true, false, false, "", ""},
        {{"--version"}, false, true, false, "", ""},
        {{"--fullscreen"}, false, false, true, "", ""},
        {{"--data", "/srv/cab"}, false, false, false, "/srv/cab", ""},
        {{"--data=/srv/cab", "--fullscreen"}, false, false, true, "/srv/cab", ""},
        {{"--data", "a", "--data", "b"}, false, false, false, "b", ""},
        {{"--data"}, false, false, false, "", "The option --data needs a value: --data DIR"},
        {{"--fullscreen=yes"}, false, false, false, "", "The option --fullscreen takes no value"},
        {{"--frobnicate"}, false, false, false, "", "Unknown option '--frobnicate' (try --help)"},
        {{"-h"}, false, false, false, "", "Unknown option '-h' (try --help)"},
        {{"level2"}, false, false, false, "", "Unknown option 'level2' (try --help)"},
        {{"--help", "--bogus"}, true, false, false, "", "Unknown option '--bogus' (try --help)"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"hazardcab"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLine line = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(std::tie(line.help, line.version, line.fullscreen, line.newCareer, line.dataFolder, line.error),
                  std::make_tuple(c.help, c.version, c.fullscreen, false, std::string(c.data), std::string(c.error)))
            << (c.args.empty() ? "(none)" : c.args[0]);
    }
    const char* newCareer[] = {"hazardcab", "--new-career"};
    EXPECT_TRUE(parseCommandLine(2, newCareer).newCareer);
}

TEST(CommandLine, HelpVersionAndMistakesPrintAndReturnWithoutStartingTheGame) {
    const struct {
        const char* arg;
        int status;
        const char* output;
    } cases[] = {
        {"--version", 0, "Hazard Cab 7700 1.0.0\n"},
        {"--nope", 2, "Unknown option '--nope' (try --help)\n"},
        {"--help", 0,
         "Usage: hazardcab [OPTION]...\nA retro taxi arcade game.\n\n"
         "  --help            show this help and exit\n"
         "  --version         show the version and exit\n"
         "  --data DIR        look for the game data in DIR when no other place has it\n"
         "  --fullscreen      start in full screen (F11 switches back)\n"
         "  --new-career      set the saved career aside (as career.txt.old) and start anew\n"},
    };
    for (const auto& c : cases) {
        HeadlessPlatform platform;
        const char* argv[] = {"hazardcab", c.arg};
        EXPECT_EQ(runFromCommandLine(2, argv), c.status) << c.arg;
        EXPECT_EQ(platform.console, c.output) << c.arg;
        EXPECT_EQ(platform.window.polls(), 0) << c.arg;
    }
}

}  // namespace
}  // namespace hc
