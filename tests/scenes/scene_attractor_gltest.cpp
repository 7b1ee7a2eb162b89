#include <cstdlib>
#include <vector>

#include "scenes/scene_attractor.h"
#include "scenes/scene_pictures.h"

namespace {

class SceneAttractorTest : public ScenePictureTest {
protected:
    void SetUp() override
    {
        ScenePictureTest::SetUp();
        cSceneAttractor::last_config = -1;
        scene.load();
    }
    void TearDown() override
    {
        scene.trail.release();
        ScenePictureTest::TearDown();
    }
    std::vector<uint8_t> picture(int32_t t) { return ScenePictureTest::frame(scene, t); }
    double frame(int32_t t) { return mean_brightness(picture(t)); }

    cSceneAttractor scene{&clock};
};

TEST_F(SceneAttractorTest, ModesDrawDifferentPicturesAndTheLogoLiesOnTop)
{
    scene.config = 3;
    const std::vector<uint8_t> cloud = picture(1000);
    EXPECT_GT(mean_brightness(cloud), 1.0) << "the cloud must show";
    scene.logo_opacity = 1.0f;
    EXPECT_GT(frame(1016), mean_brightness(cloud) + 3.0) << "the logo strip adds light";
    scene.logo_opacity = 0.0f;
    scene.mode = 1;
    scene.light_scale = 2.0f;
    const std::vector<uint8_t> ring = picture(1032);
    EXPECT_GT(mean_brightness(ring), 1.0) << "the ring must show";
    size_t differ = 0;
    for (size_t i = 0; i < ring.size(); i += 4)
        differ += std::abs(ring[i] + ring[i + 1] - cloud[i] - cloud[i + 1]) > 30;
    EXPECT_GT(differ, ring.size() / 4 / 20);
    scene.light_scale = 0.0f;
    EXPECT_LT(frame(1048), mean_brightness(ring)) << "without light the trail only fades";
    scene.mode = 2;
    EXPECT_TRUE(picture(1064).empty());
}

TEST_F(SceneAttractorTest, ConfigurationAtTheFirstUpdateIsSharedByAllInstances)
{
    frame(100);
    EXPECT_EQ(scene.applied_preset, 1) << "configuration 0 chooses preset 1";
    cSceneAttractor other(&clock);
    other.load();
    other.update();
    EXPECT_EQ(other.preset, 3) << "configuration 0 was already seen";
    scene.config = 2;
    frame(200);
    EXPECT_EQ(scene.applied_preset, 8);
}

TEST_F(SceneAttractorTest, TrackTwoNotePulsesTheCloudFor650Ms)
{
    scene.config = 3;  // keeps the preset whose points load() made
    // The picture turns with time: each check compares the same moment.
    const double late = frame(2670), before = frame(2010);
    cMETrigger off_track = note_on(3, 60, 2010), pulse = note_on(2, 60, 2010);
    scene.handle_event(&off_track);
    EXPECT_NEAR(frame(2010), before, before * 0.1);
    for (int i = 0; i < 20; ++i)
        scene.handle_event(&pulse);
    EXPECT_EQ(scene.animators.size(), 4u) << "notes reuse the scene's animators";
    EXPECT_GT(frame(2010), before * 1.3);
    EXPECT_NEAR(frame(2670), late, late * 0.1);
    EXPECT_EQ(scene.pulse, 0.0f);
}

TEST_F(SceneAttractorTest, RingNotesStepThePresetSwingTheCameraAndSwapTheTint)
{
    scene.config = 3;
    scene.mode = 1;
    scene.preset = 5;
    frame(1000);
    cMETrigger step = note_on(1, 48, 1000), other_note = note_on(1, 47, 1000), tint = note_on(18, 1, 1000);
    scene.handle_event(&other_note);
    EXPECT_EQ(scene.preset, 5);
    scene.handle_event(&step);
    EXPECT_EQ(scene.preset, 7) << "6 is skipped";
    scene.handle_event(&step);
    scene.handle_event(&step);
    EXPECT_EQ(scene.preset, 0);
    frame(1500);
    EXPECT_GT(scene.ring_fov, 60.0f);
    EXPECT_LT(scene.ring_fov, 160.0f);
    frame(4400);
    EXPECT_EQ(scene.ring_fov, 60.0f);
    EXPECT_EQ(scene.light_scale, 2.0f);
    EXPECT_EQ(scene.rotation, 180.0f);
    scene.handle_event(&tint);
    EXPECT_EQ(scene.draw_color, scene.color1);
    scene.handle_event(&tint);
    EXPECT_EQ(scene.draw_color, scene.color0);
}

TEST_F(SceneAttractorTest, PauseStopsTheDriftAndHoldsTheSecondTint)
{
    scene.config = 3;
    scene.mode = 1;
    scene.preset = 5;
    frame(1000);
    const float p1 = scene.params[1];
    frame(1500);
    EXPECT_NEAR(scene.params[1], p1 + 0.1f, 1e-4f);
    scene.pause = 1;
    frame(2000);
    EXPECT_NEAR(scene.params[1], p1 + 0.1f, 1e-4f);
    EXPECT_EQ(scene.draw_color, scene.color1);
    scene.pause = 0;
    for (int t = 2500; t <= 4500; t += 500)
        frame(t);
    EXPECT_LT(scene.params[1], -1.19f) << "past the bound the drift starts again";
}

TEST_F(SceneAttractorTest, ASecondLoadMakesNoGlObjectAndWildValuesStayInRange)
{
    frame(100);
    const cVBO* points = scene.points.get();
    expect_second_load_makes_nothing(scene);
    EXPECT_EQ(scene.points.get(), points);
    scene.preset = 40;
    scene.config = 9;
    EXPECT_GT(frame(200), 0.0);
    EXPECT_EQ(scene.applied_preset, 4);
}

}  // namespace
