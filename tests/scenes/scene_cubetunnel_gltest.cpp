#include "scenes/scene_cubetunnel.h"

#include "scenes/scene_pictures.h"

namespace {

using SceneCubeTunnelTest = SceneOfTest<cSceneCubeTunnel>;

TEST_F(SceneCubeTunnelTest, ScrollsInBothColoursAndWrapsWithoutAJump)
{
    scene.cur_t = 1.0f;
    const tPixels start = frame(1000);
    EXPECT_GT(lit_share(start), 0.05) << "the tunnel shows";
    EXPECT_LT(lit_share(start), 0.9) << "the fogged depth shows black";
    size_t pink = 0, blue = 0;
    for (size_t i = 0; i < start.size(); i += 4) {
        pink += start[i] > start[i + 1] + 40 && start[i + 2] > start[i + 1] + 40;
        blue += start[i + 2] > start[i] + 20 && start[i + 1] > start[i] + 20;
    }
    EXPECT_GT(pink, 1000u);
    EXPECT_GT(blue, 1000u);
    // The copies move on; one copy length (1.86 s) later identical copies
    // stand where the previous ones stood.
    const double step = mean_difference(start, frame(1020));
    EXPECT_GT(mean_difference(start, frame(1058)), 1.5 * step);
    EXPECT_LT(mean_difference(start, frame(2860)), 0.25 * step);
    EXPECT_LT(mean_difference(start, frame(1000 + 4 * 1860)), 0.25 * step) << "a whole wrap";
    // The copy that wraps round jumps behind the fog: no frame jumps.
    EXPECT_LT(mean_difference(frame(1850), frame(1870)), 1.5 * step);
}

TEST_F(SceneCubeTunnelTest, CurTSwingsTheViewOnlyWhileTheClockRuns)
{
    const tPixels side = frame(1000);
    scene.cur_t = 1.0f;
    clock.paused = true;
    EXPECT_EQ(frame(1000), side);
    clock.paused = false;
    const tPixels axis = frame(1000);
    EXPECT_GT(mean_difference(side, axis), 5.0);
    scene.cur_t = 3.0f;
    EXPECT_EQ(frame(1000), axis) << "beyond 1 holds the axis view";
}

TEST_F(SceneCubeTunnelTest, NotesOfTrackFourCollapseTheStreaksWithOneAnimator)
{
    note(scene, 3, 1000);
    scene.update();
    EXPECT_FLOAT_EQ(scene.streaks.propagation, 0.75f) << "other tracks do nothing";
    const tPixels calm = frame(8540);
    for (int32_t t = 2000; t <= 8500; t += 325) {
        note(scene, 4, t);
        scene.update();
        EXPECT_NEAR(scene.streaks.propagation, 0.1f, 1e-6f);
    }
    EXPECT_EQ(scene.animators.size(), 1u) << "notes reuse one animator";
    EXPECT_GT(mean_difference(calm, frame(8540)), 1.0);
    at(9000);
    scene.update();
    EXPECT_FLOAT_EQ(scene.streaks.propagation, 0.85f) << "the flare lands after its window";
}

}  // namespace
