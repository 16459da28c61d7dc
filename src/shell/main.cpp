#include "shell/startup.h"

int main() { return hc::runGame(); }
