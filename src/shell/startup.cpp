#include "shell/startup.h"

#include "shell/core/system.h"

namespace hc {

int runGame() {
    logLine("Hazard Cab 7700: start-up is being built");
    return 0;
}

}  // namespace hc
