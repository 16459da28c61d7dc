// The pack tool: takes a graphics pack apart into PNGs, builds one from PNGs, and
// draws a contact sheet of a pack.
#include <cstdio>
#include <cstring>
#include <string>

#include "packtool/pack_tool.h"

namespace {

int usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s unpack <pack> <dir>     write vehicles.png, walls.png, sheet.png\n"
                 "       %s pack <dir> <pack>       build a pack from those three PNGs\n"
                 "       %s contact <pack> <png>    draw a contact sheet of a pack\n",
                 program, program, program);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return usage(argv[0]);
    const std::string command = argv[1];
    std::string error, warning;
    bool done = false;
    if (command == "unpack") {
        done = hc::packtool::unpackPack(argv[2], argv[3], &error, &warning);
    } else if (command == "pack") {
        done = hc::packtool::packPictures(argv[2], argv[3], &error);
    } else if (command == "contact") {
        done = hc::packtool::writeContactSheet(argv[2], argv[3], &error, &warning);
    } else {
        return usage(argv[0]);
    }
    if (!warning.empty()) std::fprintf(stderr, "packtool: warning: %s\n", warning.c_str());
    if (!done) {
        std::fprintf(stderr, "packtool: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
