#include "support/scene_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "gl.h"
#include "scenes/scene_scrub.h"
#include "values/gui_var_list.h"

namespace {

class SceneScrubTest : public SceneTest {
protected:
    // One frame of `step_ms` rendered and handed back, as the composition does.
    void frame(cSceneScrub& scene, int32_t step_ms)
    {
        at(clock.now + step_ms);
        scene.update();
        cTmpRenderTarget t = scene.render_isolated(clock.elapsed());
        ASSERT_NE(t.target, nullptr);
        EXPECT_EQ(pool->lent, 1u) << "render keeps intermediate targets";
        t.release();
    }
};

TEST_F(SceneScrubTest, LoadGrowsTheScrubAheadOfTheFirstFrameAndASecondLoadChangesNothing)
{
    cSceneScrub scene(&clock);
    EXPECT_EQ(scene.get_name(), "growing scrub");
    scene.load();
    EXPECT_FLOAT_EQ(scene.scrub.params.front, 24.5f);
    ASSERT_GT(scene.scrub.nodes.size(), 200u);
    for (const cScrubNode& n : scene.scrub.nodes) {
        EXPECT_GE(n.pos.z, 10.0f);
        EXPECT_LE(n.pos.z, 24.5f);
    }
    // Geometry already exists for everything more than 1.0 behind the growth front.
    ASSERT_FALSE(scene.blocks.blocks.empty());
    EXPECT_GT(scene.blocks.blocks.back().z_max, 22.0f);
    EXPECT_TRUE(scene.get_vars().empty());
    const size_t buffers = scene.blocks.buffers.size(), nodes = scene.scrub.nodes.size();
    scene.load();
    EXPECT_EQ(scene.blocks.buffers.size(), buffers);
    EXPECT_EQ(scene.scrub.nodes.size(), nodes);
}

TEST_F(SceneScrubTest, RendersLitTubesOverTheClearColour)
{
    cSceneScrub scene(&clock);
    scene.load();
    for (int i = 0; i < 3; ++i)
        frame(scene, 16);
    cTmpRenderTarget t = scene.render_isolated(clock.elapsed());
    const std::vector<uint8_t> rgba = pixels_of(*t.target);
    t.release();
    size_t lit = 0, magenta = 0, cyan = 0, amber = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const int r = rgba[i], g = rgba[i + 1], b = rgba[i + 2];
        EXPECT_EQ(rgba[i + 3], 255) << "the picture is opaque";
        if (r + g + b < 30)
            continue;
        ++lit;
        magenta += r > g + 40 && b > g + 40;
        cyan += g > r + 40 && b > r + 40;
        amber += r > b + 60 && g > b + 30;
    }
    const double pixels = static_cast<double>(rgba.size() / 4);
    EXPECT_GT(lit / pixels, 0.05) << "the tubes must show";
    EXPECT_LT(lit / pixels, 0.9) << "the dark background must show between them";
    // Each light colours the faces that turn towards it.
    EXPECT_GT(magenta / pixels, 0.002);
    EXPECT_GT(cyan / pixels, 0.002);
    EXPECT_GT(amber / pixels, 0.002);
}

TEST_F(SceneScrubTest, GrowsForeverInBoundedMemory)
{
    cSceneScrub scene(&clock);
    scene.load();
    const size_t buffers = scene.blocks.buffers.size();
    // About six passes through the grown stretch, in coarse frames.
    for (int i = 0; i < 60; ++i) {
        frame(scene, 400);
        if (HasFailure())
            return;
    }
    EXPECT_NEAR(scene.front, 10.0f + 3.5f * 24.0f, 1e-3f);
    EXPECT_GE(scene.scrub.params.front, scene.front + cSceneScrub::GROW_AHEAD);
    EXPECT_LE(scene.scrub.params.front, scene.front + cSceneScrub::GROW_AHEAD + 1.0f);
    for (const cScrubNode& n : scene.scrub.nodes)
        ASSERT_GE(n.pos.z, scene.front) << "nodes behind the camera are gone";
    EXPECT_LT(scene.scrub.nodes.size(), 3000u);
    EXPECT_EQ(scene.blocks.buffers.size(), buffers) << "no vertex buffer made during playback";
    EXPECT_GT(scene.blocks.blocks.front().z_max, scene.front);
}

TEST_F(SceneScrubTest, RadiusChangesOnlyAfterTheSetDistance)
{
    cSceneScrub scene(&clock);
    scene.load();
    scene.radius_range = {3.0f, 3.0f, 0.5f};
    frame(scene, 100);  // 0.35 further: not yet
    EXPECT_FLOAT_EQ(scene.scrub.params.radius, 1.0f);
    frame(scene, 100);  // 0.7 since the start
    EXPECT_FLOAT_EQ(scene.scrub.params.radius, 3.0f);
    scene.radius_range = {1.5f, 2.5f, 0.1f};
    for (int i = 0; i < 6; ++i) {
        frame(scene, 50);
        EXPECT_GE(scene.scrub.params.radius, 1.5f);
        EXPECT_LE(scene.scrub.params.radius, 2.5f);
    }
}

TEST_F(SceneScrubTest, FrontMovesWithTheClockBothWays)
{
    cSceneScrub scene(&clock);
    scene.load();
    frame(scene, 1000);
    EXPECT_NEAR(scene.front, 13.5f, 1e-4f);
    clock.paused = true;
    frame(scene, 400);
    EXPECT_NEAR(scene.front, 13.5f, 1e-4f);
    clock.paused = false;
    // Backwards nothing regrows: what lay behind the tail is gone.
    const float grown = scene.scrub.params.front;
    const size_t nodes = scene.scrub.nodes.size();
    scene.speed = -6.0f;
    frame(scene, 500);
    EXPECT_NEAR(scene.front, 10.5f, 1e-4f);
    EXPECT_EQ(scene.scrub.params.front, grown);
    EXPECT_EQ(scene.scrub.nodes.size(), nodes);
}

TEST_F(SceneScrubTest, SlidersReachTheGeneratorAndBeginReseedsTheCLibraryGenerator)
{
    cSceneScrub scene(&clock);
    cGuiVarList list;
    scene.register_gui(&list);
    const float density = 7.0f;
    find_var("density", list.entries)->set(&density);
    EXPECT_EQ(scene.scrub.params.density, 7.0f);

    std::srand(1335);
    const int first = std::rand();
    std::srand(7);
    scene.begin();
    EXPECT_EQ(std::rand(), first);
}

}  // namespace
