#include <gtest/gtest.h>

#include <cstdio>

#include "city/city_generator.h"
#include "core/random.h"
#include "render/map_view.h"
#include "render/world_view.h"
#include "render_fixture.h"

namespace hc {
namespace {

using test::rig;

struct GoldenPose {
    float x, y, heading;
    bool engine, lowDetail;
    int64_t frame;
    uint64_t worldDigest;
    uint64_t mapDigest;
};

// A seeded city under the synthetic artwork, seen from a few places: streets and
// crossings near the start spot, a face close up, low detail, headlights. Any change
// to a single pixel of either view changes a digest.
TEST(RenderGolden, FramesOfASeededCity) {
    auto& r = rig();
    seedRandom(7700);
    generateCityMap(*r.map, r.state->shadeTable);
    const GoldenPose poses[] = {
        {1040.0f, 1034.0f, 0.0f, false, false, 0, 16662219466756304704ull, 12757185103743884899ull},
        {1040.0f, 1034.0f, 900.0f, true, false, 1, 3782279572344385289ull, 3994763386109905848ull},
        {1024.5f, 1100.25f, 2700.0f, false, true, 2, 11103474429307741185ull, 9673045690696999337ull},
        {1030.7f, 1000.3f, 1234.5f, true, false, 3, 15003498459586300789ull, 9830519538663338446ull},
        {1100.2f, 1040.9f, 3300.0f, false, false, 4, 12558862938767672137ull, 15697862579335585437ull},
        {530.5f, 275.25f, 2100.0f, true, true, 5, 13662219408865893137ull, 10652421875771159641ull},
    };
    bool anyMissing = false;
    for (const auto& p : poses) {
        r.pose(p.x, p.y, p.heading);
        r.shift.engineRunning = p.engine ? FlagOn : FlagOff;
        r.shift.lowDetail = p.lowDetail ? FlagOn : FlagOff;
        r.shift.frameCounter = p.frame;
        r.clearTarget(0);
        renderWorldView(r.scene());
        const uint64_t world = test::fnv1a(r.target->pixels, static_cast<size_t>(r.target->pitch) * r.target->height);
        drawMapView(*r.map, r.player, *r.state, *r.target);
        const uint64_t map = test::fnv1a(r.target->pixels, static_cast<size_t>(r.target->pitch) * r.target->height);
        EXPECT_EQ(world, p.worldDigest) << "world view at " << p.x << "," << p.y << " heading " << p.heading;
        EXPECT_EQ(map, p.mapDigest) << "map view at " << p.x << "," << p.y;
        if (world != p.worldDigest || map != p.mapDigest) {
            anyMissing = true;
            std::printf("        {%.9gf, %.9gf, %.9gf, %s, %s, %lld, %lluull, %lluull},\n", p.x, p.y, p.heading,
                        p.engine ? "true" : "false", p.lowDetail ? "true" : "false", static_cast<long long>(p.frame),
                        static_cast<unsigned long long>(world), static_cast<unsigned long long>(map));
        }
    }
    if (anyMissing) std::printf("(digests of this build printed above)\n");
}

}  // namespace
}  // namespace hc
