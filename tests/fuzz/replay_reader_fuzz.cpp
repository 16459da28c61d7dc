// libFuzzer target: any bytes given to the recording reader end in a refusal or a
// recording within bounds, never a crash; what it accepts writes back to a file it
// accepts again, unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hc::Recording recording;
    std::string reason;
    if (!hc::parseRecording(std::string_view(reinterpret_cast<const char*>(data), size), recording, reason)) {
        if (reason.empty()) std::abort();
        return 0;
    }
    if (recording.frames.size() > hc::MaxReplayFrames) std::abort();
    hc::Recording again;
    if (!hc::parseRecording(hc::recordingBytes(recording), again, reason)) std::abort();
    if (again.frames != recording.frames || !(again.start == recording.start) || again.finalScore != recording.finalScore) {
        std::abort();
    }
    return 0;
}
