// One frame of the world view (full and low detail) and of the map view, over a fixed
// set of 64 poses in a seeded city: open streets, crossings and faces close up.
// Targets: world view under 1.0 ms, low detail under 0.6 ms, map view under 1.5 ms;
// and, measured against the bare column pass below in the same run, the world view at
// most 2.0 times it, low detail 1.2 times, the map view 3.0 times.
// The presentation's palette conversion (8-bit indices to 32-bit colour words) is
// measured here too.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "assets/font.h"
#include "assets/graphics_pack.h"
#include "city/city_generator.h"
#include "core/random.h"
#include "core/system.h"
#include "draw/image.h"
#include "draw/palette.h"
#include "platform/frame_convert.h"
#include "render/map_view.h"
#include "render/world_view.h"

namespace {

using namespace hc;

struct Pose {
    float x, y, heading;
};

struct BenchWorld {
    CityMap* map = newCityMap();
    ViewTables tables;
    Shift shift;
    PlayerCar player;
    GameState* state = new GameState();
    FontSet font;
    Image* target = createImage(RenderWidth, RenderHeight);
    Image* sky = createImage(640, 240);
    std::vector<Pose> poses;

    BenchWorld() {
        // The game's own pictures when the build has drawn them (transparent texels
        // change the work), otherwise synthetic ones: opaque buildings, see-through
        // fences and podium, vehicles with transparent windows.
        Rgb palette[256];
        for (int i = 0; i < 256; ++i) palette[i] = {BasePalette[i][0], BasePalette[i][1], BasePalette[i][2]};
        if (!loadGraphicsPack(*state, font, palette, 1, HC_DATA_DIR "/graphics.pak")) {
            for (int c = 0; c < 256; ++c)
                for (int l = 0; l < 17; ++l) state->shadeTable[c][l] = static_cast<uint8_t>(1 + (c * l) % 250);
            for (int k = 1; k <= WallTextureCount; ++k) {
                const bool fence = k == 16 || k == 18;
                for (int i = 0; i < WallTextureSize * WallTextureSize; ++i)
                    state->wallTextures[k][i] = static_cast<uint8_t>(fence && (i % 3 == 0 || i < 6000) ? 0 : 1 + (i + k) % 200);
            }
            for (int m = 1; m <= VehicleSheetCount; ++m)
                for (int i = 0; i < VehicleSheetWidth * VehicleSheetHeight; ++i)
                    state->vehicleSheets[m][i] = static_cast<uint8_t>(i < 2000 ? 0 : 1 + i % 100);
            for (int i = 0; i < 640 * 240; ++i) sky->pixels[i] = static_cast<uint8_t>(i % 251);
            state->skyImage = sky;
        }
        seedRandom(7700);
        generateCityMap(*map, state->shadeTable);
        initView(*map, tables, shift, RenderWidth, RenderHeight);
        choosePoses();
    }

    bool free(float x, float y) const {
        return hasFlag(cellAt(*map, static_cast<int>(x), static_cast<int>(y)), Passable);
    }

    // Street centres on district boundaries are always open; lots begin 16 cells from
    // them, so 3 cells from a lot edge a car faces a building close up.
    void choosePoses() {
        seedRandom(99);
        while (poses.size() < 64) {
            const int kind = static_cast<int>(poses.size() % 3);
            const int i = 1 + randomChoice(6), j = 1 + randomChoice(6);
            Pose p{};
            if (kind == 0) {  // along an open street
                p = {256.0f * i + 0.5f, 256.0f * j + 40.0f + randomChoice(170), randomChoice(2) ? 900.0f : 2700.0f};
                p.heading += static_cast<float>(randomChoice(200)) - 100.0f;
            } else if (kind == 1) {  // at a crossing, looking anywhere
                p = {256.0f * i + 0.5f, 256.0f * j + 0.5f, static_cast<float>(randomChoice(3600))};
            } else {  // a face close up
                p = {256.0f * i + 13.0f, 256.0f * j + 60.0f + randomChoice(130), static_cast<float>(randomChoice(300))};
            }
            if (free(p.x, p.y)) poses.push_back(p);
        }
    }
    void pose(size_t k) {
        const Pose& p = poses[k % poses.size()];
        player = PlayerCar{};
        player.x = p.x;
        player.y = p.y;
        player.heading = p.heading;
        rotateBody(player, 0);
    }
};

BenchWorld& world() {
    static BenchWorld w;
    return w;
}

void renderFrames(benchmark::State& state, bool lowDetail) {
    BenchWorld& w = world();
    w.shift.lowDetail = lowDetail ? FlagOn : FlagOff;
    w.shift.engineRunning = FlagOn;
    size_t k = 0;
    for (auto _ : state) {
        w.pose(k++);
        renderWorldView({*w.map, w.tables, w.player, w.shift, *w.state, *w.target});
        benchmark::DoNotOptimize(w.target->pixels[1000]);
    }
}

void BM_WorldView(benchmark::State& state) { renderFrames(state, false); }
void BM_WorldViewLowDetail(benchmark::State& state) { renderFrames(state, true); }

void BM_MapView(benchmark::State& state) {
    BenchWorld& w = world();
    size_t k = 0;
    for (auto _ : state) {
        w.pose(k++);
        drawMapView(*w.map, w.player, *w.state, *w.target);
        benchmark::DoNotOptimize(w.target->pixels[1000]);
    }
}

// The floor under every view: a 640 x 480 pass, columns outer, that per pixel fetches
// one texel, looks it up in the 256 x 17 shade table and stores it. No ray, no mask.
void BM_BarePass(benchmark::State& state) {
    BenchWorld& w = world();
    const uint8_t* shade = &w.state->shadeTable[0][0];
    const ptrdiff_t pitch = w.target->pitch;
    size_t k = 0;
    for (auto _ : state) {
        const uint8_t* texels = w.state->wallTextures[1 + k % WallTextureCount].data();
        const int level = static_cast<int>(k++ % 17);
        for (int c = 0; c < RenderWidth; ++c) {
            const uint8_t* column = texels + (c & (WallTextureSize - 1));
            uint8_t* pixel = w.target->pixels + c;
            for (int row = 0; row < RenderHeight; ++row, pixel += pitch) {
                *pixel = shade[column[(row & (WallTextureSize - 1)) * WallTextureSize] * 17 + level];
            }
        }
        benchmark::DoNotOptimize(w.target->pixels[1000]);
        benchmark::ClobberMemory();
    }
}

// A converter holding the game's base palette as 0xFFRRGGBB words.
FrameConverter baseConverter() {
    uint32_t palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = 0xFF000000u | (BasePalette[i][0] << 16) | (BasePalette[i][1] << 8) | BasePalette[i][2];
    FrameConverter converter;
    converter.setPalette(palette);
    return converter;
}

// The presentation's conversion of a frame to 32-bit colour words, as the window does it.
void BM_PaletteConvert(benchmark::State& state) {
    BenchWorld& w = world();
    FrameConverter converter = baseConverter();
    const int outPitch = RenderWidth * 4;
    std::vector<uint8_t> out(static_cast<size_t>(outPitch) * RenderHeight);
    drawMapView(*w.map, w.player, *w.state, *w.target);
    for (auto _ : state) {
        converter.convert(*w.target, out.data(), outPitch);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

// What the window surface costs a frame: the conversion and the scaling to the
// full-screen 1366 x 768 window in one pass (1024 x 768 between bars).
void BM_ScaleToWindow(benchmark::State& state) {
    BenchWorld& w = world();
    FrameConverter converter = baseConverter();
    const PictureRect rect = letterbox(RenderWidth, RenderHeight, 1366, 768);
    std::vector<uint8_t> out(static_cast<size_t>(1366 * 4) * 768);
    drawMapView(*w.map, w.player, *w.state, *w.target);
    for (auto _ : state) {
        converter.convertScaled(*w.target, out.data(), 1366 * 4, rect);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

// 64 frames per iteration: one pass over every pose, so each repetition sees the same mix.
constexpr int PosesPerPass = 64;
BENCHMARK(BM_WorldView)->Unit(benchmark::kMillisecond)->Iterations(PosesPerPass * 8)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WorldViewLowDetail)->Unit(benchmark::kMillisecond)->Iterations(PosesPerPass * 8)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_MapView)->Unit(benchmark::kMillisecond)->Iterations(PosesPerPass * 8)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_BarePass)->Unit(benchmark::kMillisecond)->Iterations(PosesPerPass * 8)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaletteConvert)->Unit(benchmark::kMillisecond)->Iterations(PosesPerPass * 8)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ScaleToWindow)->Unit(benchmark::kMillisecond)->Iterations(PosesPerPass * 8)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
