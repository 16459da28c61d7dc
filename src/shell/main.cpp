#include "shell/command_line.h"

int main(int argc, char** argv) { return hc::runFromCommandLine(argc, argv); }
