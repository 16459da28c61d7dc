#include "platform/screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/console.h"
#include "platform/keyboard.h"
#include "platform/system_info.h"
#include "support/headless_platform.h"

namespace hc {
namespace {

constexpr int F2 = 60;

TEST(DisplayMode, TheWidestModeIsChosenAnd1366Becomes1360) {
    HeadlessScreen hg;
    hg.window.modes = {{640, 480}, {1024, 768}, {1366, 700}, {1366, 768}};
    selectDisplayMode(hg.screen);
    EXPECT_EQ(hg.screen.displayWidth, 1360);
    EXPECT_EQ(hg.screen.displayHeight, 768);
    EXPECT_EQ(hg.console, "Setting resolution to  1360x 768\n");

    hg.console.clear();
    hg.window.modes = {{800, 600}, {1920, 1080}};
    selectDisplayMode(hg.screen);
    EXPECT_EQ(hg.console, "Setting resolution to  1920x 1080\n");
}

TEST(DisplayMode, NoModeEndsTheProgramWithAFailure) {
    HeadlessScreen hg;
    hg.window.modes.clear();
    EXPECT_EQ(hg.runUntilEnd([&] { selectDisplayMode(hg.screen); }), 1);
    EXPECT_EQ(hg.console, "No supported video modes available\n");
    EXPECT_EQ(hg.screen.displayWidth, -1);
}

TEST(OpenScreen, SoftwareModeOpensA640By480WindowWithThePalette) {
    HeadlessScreen hg;
    hg.openScreen();
    const ScreenContext& screen = hg.screen;
    EXPECT_EQ(hg.consoleLines().back(), "Screen depth: 1");
    EXPECT_EQ(hg.window.title(), "Hazard Cab 7700 [Software]");
    EXPECT_TRUE(hg.window.pointerHidden());
    EXPECT_EQ(hg.window.width(), 640);
    EXPECT_EQ(hg.window.height(), 480);
    EXPECT_FALSE(hg.window.openedWithOpenGL());
    EXPECT_EQ(screen.renderMode, RenderModeSoftware);
    ASSERT_NE(screen.renderBuffer, nullptr);
    EXPECT_EQ(screen.pixels, screen.renderBuffer->pixels);
    EXPECT_EQ(screen.pitch, 640);
    EXPECT_EQ(screen.bytesPerPixel, 1);
    EXPECT_EQ(screen.colourWords[0], 0xFFFF00FFu);
    EXPECT_EQ(screen.colourWords[22], 0xFFFCFCFCu);
    EXPECT_EQ(screen.colourWords[255], 0xFF000000u);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(hg.window.palette()[i], screen.colourWords[i]);
        const Rgb rgb = paletteEntry(screen, i);
        ASSERT_EQ(rgb.red, BasePalette[i][0]);
        ASSERT_EQ(rgb.green, BasePalette[i][1]);
        ASSERT_EQ(rgb.blue, BasePalette[i][2]);
    }
}

TEST(OpenScreen, OpenGLModeUsesTheDisplaySize) {
    HeadlessScreen hg;
    ScreenContext& screen = hg.screen;
    selectDisplayMode(screen);
    screen.renderWidth = 640;
    screen.renderHeight = 480;
    openScreen(screen, RenderModeOpenGL, 0);
    EXPECT_TRUE(hg.window.openedWithOpenGL());
    EXPECT_EQ(hg.window.width(), 1360);
    EXPECT_EQ(hg.window.title(), "Hazard Cab 7700 [OpenGL]");
    EXPECT_EQ(screen.renderBuffer->width, 640);
}

TEST(OpenScreen, FailuresEndTheProgramWithAMessage) {
    HeadlessScreen hg;
    ScreenContext& screen = hg.screen;
    screen.renderWidth = 640;
    screen.renderHeight = 480;
    EXPECT_EQ(hg.runUntilEnd([&] { openScreen(screen, 3, 0); }), 1);
    EXPECT_EQ(hg.console, "Unsupported rendering mode\n");
    EXPECT_FALSE(hg.window.isOpen());

    hg.console.clear();
    hg.window.openFailure = "no visual";
    EXPECT_EQ(hg.runUntilEnd([&] { openScreen(screen, RenderModeSoftware, 0); }), 1);
    EXPECT_EQ(hg.console, "Cannot open the window: no visual\n");
}

TEST(Palette, SetPaletteEntryUpdatesTheWindowTheWordsAndTheBase) {
    HeadlessScreen hg;
    hg.openScreen();
    ScreenContext& screen = hg.screen;
    setPaletteEntry(screen, 7, 1, 2, 3);
    EXPECT_EQ(screen.colourWords[7], 0xFF010203u);
    EXPECT_EQ(hg.window.palette()[7], 0xFF010203u);
    EXPECT_EQ(paletteEntry(screen, 7).green, 2);
    setPaletteEntry(screen, 256, 9, 9, 9);  // ignored
    setPaletteEntry(screen, -1, 9, 9, 9);
    EXPECT_EQ(paletteEntry(screen, 300).red, 0);
}

TEST(Palette, GammaOneIsTheBasePaletteAndGammaDoesNotCompound) {
    HeadlessScreen hg;
    hg.openScreen();
    ScreenContext& screen = hg.screen;
    applyGamma(screen, 1.0f);
    for (int i = 0; i < 256; ++i) {
        const uint32_t base = 0xFF000000u | BasePalette[i][0] << 16 | BasePalette[i][1] << 8 | BasePalette[i][2];
        ASSERT_EQ(screen.colourWords[i], base) << i;
        ASSERT_EQ(hg.window.palette()[i], base) << i;
    }
    // 256 * (64/256)^0.5 = 128 and 256 * (100/256)^2 = 39.0625, worked out by hand.
    setPaletteEntry(screen, 5, 64, 100, 255);
    applyGamma(screen, 0.5f);
    EXPECT_EQ(screen.colourWords[5], 0xFF000000u | 128u << 16 | 160u << 8 | 255u);
    applyGamma(screen, 2.0f);
    applyGamma(screen, 2.0f);
    EXPECT_EQ(screen.colourWords[5], 0xFF000000u | 16u << 16 | 39u << 8 | 254u);
    EXPECT_EQ(paletteEntry(screen, 5).red, 64) << "the base palette stays";
    // Gamma below the options' range saturates instead of wrapping.
    applyGamma(screen, 0.01f);
    EXPECT_EQ(screen.colourWords[5] & 0xFF, 255u);
}

TEST(Screenshot, NamesFollowDateAndTimeWithASuffixForRepeats) {
    const LocalDateTime when{2025, 3, 7, 9, 5, 2};
    EXPECT_EQ(screenshotName(when), "grab03-07-202509:05:02.bmp");
    EXPECT_EQ(screenshotName(when).size(), 26u);
    EXPECT_EQ(screenshotName(when, 2), "grab03-07-202509:05:02_2.bmp");
    EXPECT_EQ(screenshotName(LocalDateTime{1999, 12, 31, 23, 59, 59}), "grab12-31-199923:59:59.bmp");
}

class ScreenshotFiles : public ::testing::Test {
protected:
    HeadlessScreen hg;
    std::filesystem::path dir;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("hc_grab_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        hg.openScreen();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(ScreenshotFiles, ASecondGrabInTheSameSecondNeverOverwrites) {
    const LocalDateTime when{2026, 1, 2, 3, 4, 5};
    fillImage(renderTarget(hg.screen), 7);
    EXPECT_EQ(saveScreenshot(hg.screen, when, dir.string()), "grab01-02-202603:04:05.bmp");
    const auto first = std::filesystem::file_size(dir / "grab01-02-202603:04:05.bmp");
    EXPECT_EQ(saveScreenshot(hg.screen, when, dir.string()), "grab01-02-202603:04:05_2.bmp");
    EXPECT_EQ(saveScreenshot(hg.screen, when, dir.string()), "grab01-02-202603:04:05_3.bmp");
    EXPECT_EQ(std::filesystem::file_size(dir / "grab01-02-202603:04:05.bmp"), first);
    EXPECT_EQ(first, 14u + 40u + 1024u + 640u * 480u);
    const auto lines = hg.consoleLines();
    EXPECT_EQ(lines[lines.size() - 3], "Saved grab01-02-202603:04:05.bmp");
    EXPECT_EQ(lines[lines.size() - 1], "Saved grab01-02-202603:04:05_3.bmp");
}

TEST_F(ScreenshotFiles, AFailedSaveSaysWhyAndNeverClaimsSuccess) {
    const LocalDateTime when{2026, 1, 2, 3, 4, 5};
    EXPECT_EQ(saveScreenshot(hg.screen, when, (dir / "absent").string()), "");
    const std::string last = hg.consoleLines().back();
    EXPECT_EQ(last.rfind("Screenshot grab01-02-202603:04:05.bmp not saved: ", 0), 0u) << last;
    EXPECT_GT(last.size(), std::string("Screenshot grab01-02-202603:04:05.bmp not saved: ").size());
    EXPECT_EQ(hg.console.find("Saved "), std::string::npos);
}

TEST(Screenshot, TheKeyGrabsOnceOnReleaseOnly) {
    HeadlessScreen hg;
    hg.openScreen();
    HeadlessScreen& game = hg;
    // The game saves into its working directory: note what is there to clean up after.
    auto grabs = [] {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            if (entry.path().filename().string().rfind("grab", 0) == 0) ++n;
        }
        return n;
    };
    const int before = grabs();
    hg.window.holdKey(F2, 1, 3);
    for (int i = 0; i < 3; ++i) {
        pollKeys(game.keys);
        presentFrame(game.screen);
    }
    EXPECT_EQ(hg.console.find("Saved "), std::string::npos) << "nothing while held";
    pollKeys(game.keys);  // released
    presentFrame(game.screen);
    presentFrame(game.screen);  // a second frame of the same poll grabs nothing more
    pollKeys(game.keys);
    presentFrame(game.screen);
    const auto lines = hg.consoleLines();
    ASSERT_EQ(lines.back().rfind("Saved grab", 0), 0u);
    EXPECT_EQ(grabs(), before + 1);
    std::filesystem::remove(lines.back().substr(6));
    EXPECT_EQ(hg.window.framesPresented(), 6);
}

TEST(Console, EscapeSequencesUseTheConsoleColourOrder) {
    HeadlessScreen hg;
    consoleClear();
    consoleSetColours(0, 1);   // black on blue
    consoleSetColours(7, 4);   // light grey on red
    consoleSetColours(14, 9);  // yellow on light blue
    consoleSetColours(12, 3);  // light red on cyan
    consoleMoveCursor(19, 1);
    consolePrintLine("hi");
    EXPECT_EQ(hg.console, "\x1b[2J\x1b[H\x1b[30;44m\x1b[37;41m\x1b[93;104m\x1b[91;46m\x1b[19;1Hhi\n");

    // A log file or a pipe gets the text alone.
    std::string plain;
    setConsoleSink([&](std::string_view text) { plain += text; }, false);
    consoleClear();
    consoleSetColours(0, 1);
    consoleMoveCursor(19, 1);
    consolePrintLine("hi");
    consoleResetColours();
    EXPECT_EQ(plain, "hi\n");
}

TEST(SystemInfo, FreeMemoryAndDateAreSensible) {
    // A machine running these tests has more than 4 MB free and less than 1 PB.
    const uint64_t bytes = freeMemoryBytes();
    EXPECT_GT(bytes, 4u << 20);
    EXPECT_LT(bytes, uint64_t{1} << 50);
    const LocalDateTime now = localDateTime();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_LE(now.second, 60);
}

}  // namespace
}  // namespace hc
