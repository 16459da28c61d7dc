#include "support/headless_game.h"

#include "platform/audio.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace hc {

HeadlessGame::HeadlessGame() : game_(std::make_unique<Game>()) {
    setActiveWindow(&window);
    setClockHooks(ClockHooks{[this] { return now; }, [this](int ms) { now += ms / 1000.0; }});
    setConsoleSink([this](std::string_view text) { console.append(text); });
    setProcessEndHandler([](int status) { throw ProcessEnded{status}; });
    setWindowCloseHandler(nullptr);
    chooseAudioOutput(AudioOutputChoice::Silent);
    window.onPresent = [this](const Image& frame) {
        now += secondsPerFrame;
        if (onFrame) onFrame(frame);
    };
}

HeadlessGame::~HeadlessGame() {
    destroyImage(game_->screen.renderBuffer);
    game_->screen.renderBuffer = nullptr;
    setWindowCloseHandler(nullptr);
    chooseAudioOutput(AudioOutputChoice::Device);
    setProcessEndHandler(nullptr);
    setConsoleSink(nullptr);
    setClockHooks(ClockHooks{});
    setActiveWindow(nullptr);
}

std::vector<std::string> HeadlessGame::consoleLines() const {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < console.size()) {
        const size_t end = console.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(console.substr(start));
            break;
        }
        lines.push_back(console.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void HeadlessGame::openScreen() {
    Game& g = game();
    selectDisplayMode(g.screen);
    g.screen.renderWidth = 640;
    g.screen.renderHeight = 480;
    g.screen.keys = &g.keys;
    hc::openScreen(g.screen, RenderModeSoftware, 0);
    bindDefaultKeys(g.keys);
}

int HeadlessGame::runUntilEnd(const std::function<void()>& body) {
    try {
        body();
    } catch (const ProcessEnded& ended) {
        return ended.status;
    }
    return -1;
}

}  // namespace hc
