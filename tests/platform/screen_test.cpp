// The screen: display modes, the window, palette and gamma, screenshots, the console, and the dissolve.
#include "platform/dissolve.h"
#include "platform/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "core/colours.h"
#include "core/frame_timer.h"
#include "platform/audio.h"
#include "platform/console.h"
#include "platform/icon_file.h"
#include "platform/keyboard.h"
#include "platform/system_info.h"
#include "support/headless_platform.h"

namespace hc {
namespace {

uint32_t word(int r, int g, int b) { return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

TEST(DisplayMode, TheWidestModeIsChosenAnd1366Becomes1360OrTheProgramEnds) {
    const struct { std::vector<DisplayMode> modes; const char* line; int width, height; } cases[] = {
        {{{640, 480}, {1024, 768}, {1366, 700}, {1366, 768}}, "Setting resolution to  1360x 768", 1360, 768},
        {{{800, 600}, {1920, 1080}}, "Setting resolution to  1920x 1080", 1920, 1080},
        {{}, "No supported video modes available", -1, 0},
    };
    for (const auto& c : cases) {
        HeadlessScreen hg;
        hg.window.modes = c.modes;  // the program ends (status 1) without one
        EXPECT_EQ(hg.runUntilEnd([&] { selectDisplayMode(hg.screen); }), c.width < 0 ? 1 : -1);
        EXPECT_EQ(hg.console, std::string(c.line) + "\n");
        EXPECT_EQ(std::tuple(hg.screen.displayWidth, hg.screen.displayHeight), std::tuple(c.width, c.height)) << c.line;
    }
}

TEST(OpenScreen, SoftwareOrOpenGLWindowOrAClearFailure) {
    const struct { int32_t mode; const char *failure, *line, *title; int width; } cases[] = {  // width 0: the program ends
        {RenderModeSoftware, "", "Screen depth: 1", "Hazard Cab 7700 [Software]", 640},
        {RenderModeOpenGL, "", "Screen depth: 1", "Hazard Cab 7700 [OpenGL]", 1360},
        {3, "", "Unsupported rendering mode", "", 0},
        {RenderModeSoftware, "no visual", "Cannot open the window: no visual", "", 0},
    };
    for (const auto& c : cases) {
        HeadlessScreen hg;
        hg.window.openFailure = c.failure, hg.screen.renderWidth = 640, hg.screen.renderHeight = 480;
        selectDisplayMode(hg.screen);
        EXPECT_EQ(hg.runUntilEnd([&] { openScreen(hg.screen, c.mode, 0); }), c.width ? -1 : 1) << c.line;
        EXPECT_EQ(std::tuple(hg.consoleLines().back(), hg.window.title(), hg.window.isOpen() ? hg.window.width() : 0), std::tuple(c.line, c.title, c.width)) << c.line;
        EXPECT_EQ(std::tuple(hg.window.openedWithOpenGL(), hg.window.pointerHidden()), std::tuple(c.width && c.mode == RenderModeOpenGL, c.width > 0)) << c.line;
        if (!c.width) continue;
        // The render buffer holds a palette index a pixel in both modes.
        const ScreenContext& s = hg.screen;
        EXPECT_EQ(std::tuple(s.pixels, s.renderBuffer->width, s.renderBuffer->height, s.pitch, s.bytesPerPixel), std::tuple(s.renderBuffer->pixels, 640, 480, 640, 1));
        destroyImage(hg.screen.renderBuffer);
    }
}

TEST(Palette, TheBasePaletteEntriesAndGammaWhichLeavesTheBaseAlone) {
    HeadlessScreen hg;
    hg.openScreen();
    ScreenContext& screen = hg.screen;  // three entries worked from the table: magenta, the near-white, black
    EXPECT_EQ(std::tuple(screen.colourWords[0], screen.colourWords[22], screen.colourWords[255]), std::tuple(word(255, 0, 255), word(252, 252, 252), word(0, 0, 0)));
    applyGamma(screen, 1.0f);
    for (int i = 0; i < 256; ++i) {
        const Rgb rgb = paletteEntry(screen, i);
        const uint32_t base = word(BasePalette[i][0], BasePalette[i][1], BasePalette[i][2]);
        ASSERT_EQ(std::tuple(word(rgb.red, rgb.green, rgb.blue), screen.colourWords[i], hg.window.palette()[i]), std::tuple(base, base, base)) << i;
    }
    for (int i : {5, 256, -1}) setPaletteEntry(screen, i, i == 5 ? 64 : 9, i == 5 ? 100 : 9, i == 5 ? 255 : 9);  // 256 and -1 ignored
    EXPECT_EQ(std::tuple(hg.window.palette()[5], paletteEntry(screen, 300).red), std::tuple(word(64, 100, 255), 0));
    // By hand: 256 (64/256)^0.5 = 128, (100/256)^0.5 -> 160, (255/256)^0.5 -> 255.4995; squared 16, 39.06, 254.004;
    // at 0.01, 256 (255/256)^0.01 = 255.99 is held at 255 instead of wrapping.
    for (auto [gamma, w] : {std::pair{0.5f, word(128, 160, 255)}, {2.0f, word(16, 39, 254)}, {2.0f, word(16, 39, 254)}, {0.01f, word(252, 254, 255)}}) {
        applyGamma(screen, gamma);
        EXPECT_EQ(std::tuple(screen.colourWords[5], hg.window.palette()[5]), std::tuple(w, w)) << gamma;
    }
    EXPECT_EQ(paletteEntry(screen, 5).red, 64);
}

// Names follow the date and time, and a second grab in the same second never overwrites.
TEST(Screenshot, NamesNeverOverwriteFailuresAreSaidAndTheKeyGrabsOnceOnRelease) {
    HeadlessScreen hg;
    hg.openScreen();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("hc_grab_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir), std::filesystem::create_directories(dir);
    EXPECT_EQ(screenshotName(LocalDateTime{1999, 12, 31, 23, 59, 59}), "grab12-31-199923:59:59.bmp");
    const LocalDateTime when{2026, 1, 2, 3, 4, 5};
    fillImage(renderTarget(hg.screen), 7);
    for (const char* name : {"grab01-02-202603:04:05.bmp", "grab01-02-202603:04:05_2.bmp", "grab01-02-202603:04:05_3.bmp"}) {
        EXPECT_EQ(saveScreenshot(hg.screen, when, dir.string()), name);
        EXPECT_EQ(std::tuple(hg.consoleLines().back(), std::filesystem::file_size(dir / name)), std::tuple(std::string("Saved ") + name, 14u + 40u + 1024u + 640u * 480u));
    }
    // Into a folder that is not there: said why, and never "Saved".
    hg.console.clear();
    EXPECT_EQ(saveScreenshot(hg.screen, when, (dir / "absent").string()), "");
    const std::string prefix = "Screenshot grab01-02-202603:04:05.bmp not saved: ";
    EXPECT_EQ(std::tuple(hg.console.rfind(prefix, 0), hg.console.size() > prefix.size() + 1), std::tuple(0u, true)) << hg.console;
    // The key: the game saves into its working directory, here an empty folder of its own.
    std::filesystem::remove_all(dir), std::filesystem::create_directories(dir);
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(dir), hg.window.holdKey(60, 1, 3);  // F2
    const int frames[] = {1, 1, 1, 2, 1};  // per poll; the 4th poll sees the release
    for (int poll = 1; poll <= 5; ++poll) {
        pollKeys(hg.keys);
        for (int f = 0; f < frames[poll - 1]; ++f) presentFrame(hg.screen);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), poll >= 4 ? 1 : 0) << poll;
    }
    EXPECT_EQ(hg.consoleLines().back().rfind("Saved grab", 0), 0u);
    // A working directory gone meanwhile: the failure is also drawn along the top of the
    // frame, at once and for three seconds, over the picture.
    std::filesystem::remove_all(dir), hg.window.holdKey(60, 6, 6);
    for (int poll = 6; poll <= 7; ++poll) pollKeys(hg.keys), presentFrame(hg.screen);
    std::filesystem::current_path(home);
    ASSERT_NE(hg.consoleLines().back().find("not saved"), std::string::npos);
    auto band = [&hg](uint8_t colour) { int n = 0; for (int i = 0; i < 640 * 12; ++i) n += hg.window.lastFramePixel(i % 640, i / 640) == colour; return n; };
    EXPECT_GT(band(ColourNearWhite), 100) << "at once";
    const double shown = hg.now;
    for (double later : {0.0, 2.9, 3.1}) {
        fillImage(renderTarget(hg.screen), 7), hg.now = shown + later, presentFrame(hg.screen);
        EXPECT_EQ(band(7) == 640 * 12, later > 3) << later;
        EXPECT_EQ(band(ColourNearWhite) > 100, later < 3) << later;
        EXPECT_EQ(hg.window.lastFramePixel(5, 12), 7) << "below the band";
    }
}

// A BMP of the given header values: 8 bits a pixel after a 256-colour palette, then
// `pixelBytes` bytes of pixels.
std::string iconBmp(int32_t width, int32_t height, size_t pixelBytes, const char* magic = "BM") {
    std::string bytes(54 + 1024 + pixelBytes, '\0');
    auto put = [&bytes](size_t at, uint32_t value, int count) { for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i)); };
    bytes[0] = magic[0], bytes[1] = magic[1];
    put(2, uint32_t(bytes.size()), 4), put(10, 54 + 1024, 4), put(14, 40, 4);
    put(18, uint32_t(width), 4), put(22, uint32_t(height), 4), put(26, 1, 2), put(28, 8, 2);
    return bytes;
}

// The window icon is handed to the BMP loader only when its header describes a small
// picture that its file holds whole.
TEST(WindowIcon, OnlyASmallPictureThatFitsItsFileIsUsed) {
    const std::string dir = testing::TempDir() + "hc_icons_" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(dir + "folder.bmp");
    ASSERT_EQ(::mkfifo((dir + "fifo.bmp").c_str(), 0600), 0);
    const struct { const char* name; std::string bytes; const char* reason; } cases[] = {
        {"icon.bmp", iconBmp(64, 64, 64 * 64), ""},
        {"topdown.bmp", iconBmp(63, -256, 64 * 256), ""},  // rows padded to 4 bytes
        {"huge.bmp", iconBmp(16384, 16384, 2000), "claims to be 16384 x 16384 pixels"},
        {"wide.bmp", iconBmp(257, 1, 260), "claims to be 257 x 1"},
        {"flat.bmp", iconBmp(64, 0, 64), "claims to be 64 x 0"},
        {"cut.bmp", iconBmp(64, 64, 64 * 64 - 1), "pixels do not fit in its 5173 bytes"},
        {"short.bmp", iconBmp(64, 64, 64 * 64).substr(0, 53), "not a BMP picture"},
        {"png.bmp", iconBmp(64, 64, 64 * 64, "\x89P"), "not a BMP picture"},
        {"large.bmp", iconBmp(256, 256, 300000), "larger than 262144 bytes"},
        {"fifo.bmp", "", "not a regular file"},
        {"folder.bmp", "", "not a regular file"},
        {"missing.bmp", "", ""},
    };
    for (const auto& c : cases) {
        if (!c.bytes.empty()) std::ofstream(dir + c.name, std::ios::binary) << c.bytes;
        std::string bytes, reason;
        const bool used = readIconBmp(dir + c.name, bytes, reason);
        EXPECT_EQ(used, *c.reason == '\0' && !c.bytes.empty()) << c.name;
        EXPECT_EQ(used ? bytes : "", used ? c.bytes : "") << c.name;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
        EXPECT_EQ(reason.empty(), *c.reason == '\0') << c.name << ": " << reason;
    }
    std::filesystem::remove_all(dir);
}

TEST(Console, EscapeSequencesUseTheConsoleColourOrderAndPlainSinksGetTheTextAlone) {
    HeadlessScreen hg;
    std::string plain;
    for (bool terminal : {true, false}) {
        if (!terminal) setConsoleSink([&](std::string_view text) { plain += text; }, false);
        consoleClear();
        // Black on blue, light grey on red, yellow on light blue, light red on cyan.
        for (auto [fg, bg] : {std::pair{0, 1}, {7, 4}, {14, 9}, {12, 3}}) consoleSetColours(fg, bg);
        consoleMoveCursor(19, 1);
        consolePrintLine("hi");
    }
    EXPECT_EQ(hg.console, "\x1b[2J\x1b[H\x1b[30;44m\x1b[37;41m\x1b[93;104m\x1b[91;46m\x1b[19;1Hhi\n");
    EXPECT_EQ(plain, "hi\n");
}

// The date and time as the C library prints them, read just before and just after.
TEST(SystemInfo, LocalTimeIsTheCalendarsToTheSecond) {
    auto printed = [](std::time_t t) { char s[32]; std::strftime(s, sizeof s, "%Y-%m-%d %H:%M:%S", std::localtime(&t)); return std::string(s); };
    const std::string before = printed(std::time(nullptr));
    const LocalDateTime now = localDateTime();
    const std::string after = printed(std::time(nullptr));
    char got[64];
    std::snprintf(got, sizeof got, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour, now.minute, now.second);
    EXPECT_TRUE(got == before || got == after) << got << " between " << before << " and " << after;
}

struct DissolveTest : ::testing::Test {
    void SetUp() override {  // a picture without black: every pixel 1..250 by position
        hg.openScreen(), initAudio(hg.audio);
        Image& target = *hg.screen.renderBuffer;
        for (int i = 0; i < 640 * 480; ++i) putPixel(target, i % 640, i / 640, static_cast<uint32_t>((i % 640 + 3 * (i / 640)) % 250 + 1));
        picture.assign(target.pixels, target.pixels + 640 * 480);
        hg.onFrame = [this](const Image&) { frames.push_back(hg.window.lastFrame()), levels.push_back(hg.audio.channels[EngineChannel].gain / 1.2f); };
    }
    void TearDown() override { shutdownAudio(hg.audio); }

    void run(int8_t direction) {  // from the picture
        std::copy(picture.begin(), picture.end(), hg.screen.renderBuffer->pixels), frames.clear(), levels.clear();
        const double start = hg.now;
        transition(hg.screen, hg.audio, hg.timer, direction), seconds = hg.now - start;
    }
    std::vector<uint8_t> black = std::vector<uint8_t>(640 * 480, 255);
    HeadlessScreen hg;
    std::vector<uint8_t> picture;
    std::vector<std::vector<uint8_t>> frames;
    std::vector<float> levels;  // the sound level each frame was shown at
    double seconds = 0;
};

TEST_F(DissolveTest, FadesRunFromTheTopLeftInDiagonalWipesAndLeaveTheirEndPicture) {
    for (const int8_t direction : {FadeOut, FadeIn}) {
        const bool out = direction == FadeOut;
        run(direction);
        ASSERT_GE(frames.size(), 3u);
        const Image& target = *hg.screen.renderBuffer;
        EXPECT_EQ(std::tuple(frames.front() == (out ? picture : black), frames.back() == (out ? black : picture), std::vector<uint8_t>(target.pixels, target.pixels + 640 * 480) == frames.back()),
                  std::tuple(true, true, true)) << "first, last, end picture";
        // Some frame has the top-left corner changed and the bottom-right not yet; inside a block (1, 0) and (0, 1) turn together.
        EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](const auto& f) { return (f[0] == 255) == out && (f[479 * 640 + 639] == 255) != out; }));
        for (const auto& f : frames) EXPECT_EQ(f[1] == 255, f[640] == 255);
        // The sound follows, t / 40 of the way: half way or less while pixel (39, 0) of
        // step 20 is still unchanged, all the way once (39, 39) of step 40 has changed.
        for (size_t f = 0; f < frames.size(); ++f) {
            const float way = out ? 1.0f - levels[f] : levels[f];
            EXPECT_FALSE((frames[f][39] == 255) != out && way > 0.5f) << f << ": " << way;
            EXPECT_FALSE((frames[f][39 * 640 + 39] == 255) == out && std::fabs(way - 1.0f) > 1e-6f) << f;
        }
        // All silent after a fade-out; after a fade-in the car's and the cue channel at 1.2, the music at 1.2 x 0.2.
        EXPECT_FLOAT_EQ(hg.audio.channels[MusicChannel].gain, out ? 0.0f : 0.24f);
        for (int c = EngineChannel; c <= CueChannel; ++c) EXPECT_FLOAT_EQ(hg.audio.channels[c].gain, out ? 0 : 1.2f) << c;
    }
}

TEST_F(DissolveTest, TakesAboutTwoSecondsAtAnyFrameRateThrowsTypedKeysAwayAndEndsAtAClose) {
    for (double perFrame : {1.0 / 60.0, 1.0 / 20.0, 1.0 / 200.0}) {
        hg.secondsPerFrame = perFrame;
        run(FadeOut);
        EXPECT_EQ(std::tuple(std::fabs(seconds - 1.9) < 0.15, frames.back() == black), std::tuple(true, true)) << perFrame << " s per frame: " << seconds;
    }
    // The timer starts at one tick per frame and measures after four frames: 3 seconds
    // a frame is more than 92 ticks, which covers the whole wipe at once.
    hg.secondsPerFrame = 3.0, hg.window.typeChar('a'), hg.window.typeChar('b');
    run(FadeIn);
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(std::tuple(frameDelta(hg.timer) > 92.0, frames.back() == picture, frames[3] != black), std::tuple(true, true, true));  // the fourth step had begun
    EXPECT_EQ(hg.window.takeChar(), -1);
    // A close asked for while the tenth step is shown ends the effect at the next step.
    const auto record = hg.onFrame;
    hg.secondsPerFrame = 1.0 / 60.0;
    hg.onFrame = [&](const Image& f) { record(f), frames.size() == 10 ? hg.window.requestClose() : void(); };
    run(FadeOut);
    EXPECT_EQ(frames.size(), 11u);
    EXPECT_EQ(frames.back(), black);
    pollKeys(hg.keys);
    EXPECT_TRUE(hg.keys.quit) << "the close request is left for the next poll";
}

TEST(Dissolve, BlocksFollowTheWidthWithinOneAndTwentyAndNarrowBuffersStillDissolve) {
    for (auto [width, block] : {std::pair{640, 20}, {320, 10}, {1366, 20}, {8, 1}, {0, 1}}) EXPECT_EQ(dissolveBlockSize(width), block) << width;
    HeadlessScreen hg;
    hg.openScreen(), destroyImage(hg.screen.renderBuffer);
    fillImage(*(hg.screen.renderBuffer = createImage(8, 4)), 7);
    transition(hg.screen, hg.audio, hg.timer, FadeOut);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(getPixel(*hg.screen.renderBuffer, x, 3), 255u);
}

}  // namespace
}  // namespace hc
