#include "support/headless_platform.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/keyboard.h"
#include "platform/window.h"

namespace hc {

HeadlessPlatform::HeadlessPlatform() {
    std::string folder = (std::filesystem::temp_directory_path() / "hc-save-XXXXXX").string();
    // Without a scratch folder, a path below a file: no save can be written anywhere.
    saveHome = ::mkdtemp(folder.data()) ? folder + "/hazardcab" : "/dev/null/hazardcab";
    ::setenv("HAZARDCAB_HOME", saveHome.c_str(), 1);
    setActiveWindow(&window);
    setClockHooks(ClockHooks{[this] { return now; }, [this](int ms) { now += ms / 1000.0; }});
    setConsoleSink([this](std::string_view text) { console.append(text); });
    setProcessEndHandler([](int status) { throw ProcessEnded{status}; });
    chooseAudioOutput(AudioOutputChoice::Silent);
    window.onPresent = [this](const Image& frame) { now += secondsPerFrame, onFrame ? onFrame(frame) : void(); };
}

void HeadlessPlatform::releaseScreen() {
    if (opened_) destroyImage(opened_->renderBuffer), opened_->renderBuffer = nullptr;
    opened_ = nullptr;
}

HeadlessPlatform::~HeadlessPlatform() {
    releaseScreen();
    chooseAudioOutput(AudioOutputChoice::Device);
    setProcessEndHandler(nullptr);
    setConsoleSink(nullptr);
    setClockHooks(ClockHooks{});
    setActiveWindow(nullptr);
    ::unsetenv("HAZARDCAB_HOME");
    std::error_code ignored;  // a save folder under /dev/null was never made
    if (saveHome.rfind("/dev/", 0) != 0) std::filesystem::remove_all(std::filesystem::path(saveHome).parent_path(), ignored);
}

std::vector<std::string> HeadlessPlatform::consoleLines() const {
    std::vector<std::string> lines;
    std::istringstream in(console);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void HeadlessPlatform::openScreen(ScreenContext& screen, KeyBindings& keys) {
    selectDisplayMode(screen);
    screen.renderWidth = 640, screen.renderHeight = 480, screen.keys = &keys;
    hc::openScreen(screen, RenderModeSoftware, 0);
    bindDefaultKeys(keys);
    opened_ = &screen;
}

int HeadlessPlatform::runUntilEnd(const std::function<void()>& body) {
    try {
        body();
        return -1;
    } catch (const ProcessEnded& ended) {
        return ended.status;
    }
}

}  // namespace hc
